# Shared by the scripts: install what the build needs, configure and build.
# Sourced, not run.

QZL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QZL_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev fp-utils fonts-liberation qt6-base-private-dev poppler-utils)
# Building the Debian package (dpkg-shlibdeps computes its dependencies) and checking it.
QZL_PACKAGE_PACKAGES=(dpkg-dev file desktop-file-utils appstream)

qzl_install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

# qzl_configure BUILD_DIR [extra cmake args...]: installs what is missing and configures.
qzl_configure() {
  local dir=$1; shift
  qzl_install_packages "${QZL_PACKAGES[@]}" || { echo "package installation failed" >&2; return 1; }
  cmake -S "$QZL_ROOT" -B "$dir" -G Ninja "$@" >/dev/null || return 1
}

# qzl_build BUILD_DIR [extra cmake args...]: everything, tests and benchmarks included.
qzl_build() {
  local dir=$1; shift
  qzl_configure "$dir" "$@" || return 1
  cmake --build "$dir" -j"$(nproc)" || return 1
}

# qzl_build_tool BUILD_DIR: only what a technician starts: the program, the simulator
# and, when the tree has it, the help.
qzl_build_tool() {
  local dir=$1 objetivos=(qzl qzl-sim)
  qzl_configure "$dir" || return 1
  if ninja -C "$dir" -t targets all 2>/dev/null | grep '^qzl-help:' >/dev/null; then
    objetivos+=(qzl-help)
  fi
  cmake --build "$dir" -j"$(nproc)" --target "${objetivos[@]}" || return 1
}

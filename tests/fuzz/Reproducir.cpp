// Runs a fuzz target over kept inputs, without libFuzzer: each argument is a file or a
// folder of files. Any crash, sanitizer report or broken property aborts the run, so
// the test fails and names the input it was on.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

static int Reproducir(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(ruta));
        return 1;
    }
    const QByteArray datos = f.readAll();
    std::fprintf(stderr, "input %s (%lld bytes)\n", qPrintable(ruta), static_cast<long long>(datos.size()));
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(datos.constData()), size_t(datos.size()));
    return 0;
}

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int entradas = 0, fallos = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        if (info.isDir()) {
            const QFileInfoList archivos = QDir(info.filePath()).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo& a : archivos) {
                fallos += Reproducir(a.filePath());
                ++entradas;
            }
        } else if (info.exists()) {
            fallos += Reproducir(info.filePath());
            ++entradas;
        }
        // A folder that does not exist yet (no finding kept) is no input.
    }
    std::fprintf(stderr, "%d inputs replayed\n", entradas);
    if (entradas == 0) {
        std::fprintf(stderr, "no input found: the seed corpus is missing\n");
        return 1;
    }
    return fallos == 0 ? 0 : 1;
}

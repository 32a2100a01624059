# Install rules and the Debian package (scripts/package).
#
# Layout under the prefix:
#   lib/qzl/        the program's folder: qzl, qzl-sim and the help files, side by side
#   bin/qzl, bin/qzl-sim   relative links into it
#   share/applications, share/metainfo, share/icons/hicolor   the menu entry, its
#                   description for software centres, and the icon
# An installed program folder is not writable by its users: the program then keeps
# qzl.ini and the comN links in the user's configuration folder.

set(QZL_ID local.qzl.configuracion)

install(TARGETS qzl qzl-sim RUNTIME DESTINATION ${QZL_DIR_PROGRAMA})

# Relative links, made here in the build folder and installed as links.
set(QZL_ENLACES ${CMAKE_BINARY_DIR}/enlaces-instalacion)
file(MAKE_DIRECTORY ${QZL_ENLACES})
foreach(programa qzl qzl-sim)
  file(RELATIVE_PATH destino /raiz/${CMAKE_INSTALL_BINDIR} /raiz/${QZL_DIR_PROGRAMA}/${programa})
  file(CREATE_LINK ${destino} ${QZL_ENLACES}/${programa} SYMBOLIC)
  install(FILES ${QZL_ENLACES}/${programa} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

set(QZL_EMPAQUETADO ${CMAKE_CURRENT_LIST_DIR})
install(FILES ${QZL_EMPAQUETADO}/${QZL_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QZL_EMPAQUETADO}/${QZL_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QZL_EMPAQUETADO}/icons/qzl.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${QZL_ID}.svg)
# Every size that packaging/render-icons drew from the scalable icon.
file(GLOB QZL_ICONOS RELATIVE ${QZL_EMPAQUETADO}/icons CONFIGURE_DEPENDS ${QZL_EMPAQUETADO}/icons/*x*/qzl.png)
foreach(icono ${QZL_ICONOS})
  get_filename_component(tamano ${icono} DIRECTORY)
  install(FILES ${QZL_EMPAQUETADO}/icons/${icono}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${tamano}/apps RENAME ${QZL_ID}.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qzl)
set(CPACK_PACKAGE_VENDOR "QZL developers")
set(CPACK_PACKAGE_CONTACT "QZL developers <maintainers@users.noreply.c-seed-efa52e59.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration and service tool for beacon and lighthouse controllers")
set(CPACK_PACKAGE_DESCRIPTION "A desktop tool for technicians who configure and service the QZL
controller, the electronic unit of a marine beacon or lighthouse lantern. Over
the controller's serial port it reads, edits and writes the parameter set and
the flash-rhythm table with its colours, saves and loads parameter files, shows
status lamps and measured values and sends direct operating commands.
.
The package also holds qzl-sim, a controller simulator on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Run-time dependencies from the linked libraries, by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

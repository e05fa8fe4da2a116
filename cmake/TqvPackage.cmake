# Installation and the Debian package (scripts/package): both programs, the
# desktop entry and its icon, and the man page of transquendra. The
# package's dependencies are Debian's own, found from the programs' shared
# libraries by dpkg-shlibdeps, plus Qt's platform plugins, which the window
# program loads at run time.
include(GNUInstallDirs)

set(tqv_packaging ${PROJECT_SOURCE_DIR}/packaging)
install(TARGETS transquendra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET TransQuendraValencia)
  install(TARGETS TransQuendraValencia RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${tqv_packaging}/transquendravalencia.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${tqv_packaging}/transquendravalencia.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Man pages are installed compressed, as Debian's policy asks.
configure_file(${tqv_packaging}/transquendra.1 ${CMAKE_BINARY_DIR}/man/transquendra.1 @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/man/transquendra.1.gz
  COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/man/transquendra.1
  DEPENDS ${CMAKE_BINARY_DIR}/man/transquendra.1
  VERBATIM)
add_custom_target(man_pages ALL DEPENDS ${CMAKE_BINARY_DIR}/man/transquendra.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/man/transquendra.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME transquendravalencia)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Equipo TQV")
set(CPACK_PACKAGE_CONTACT "Equipo TQV <tqv@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Transferencia de datos entre ZELMAR y el programa de horarios Quendrix")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Transferencia de datos entre ZELMAR y el programa de horarios Quendrix\n\
Exporta los datos de un centro de la administracion ZELMAR (tablas dBase)\n\
a las tablas intermedias que lee el programa de horarios, e importa el\n\
horario resultante en los horarios de grupos y profesores. Incluye la\n\
ventana de transferencia y la orden transquendra para la terminal.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation")
set(CPACK_STRIP_FILES ON)
include(CPack)

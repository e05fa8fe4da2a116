# Liberation Sans (SIL Open Font License, Arial's metrics) from Debian's
# fonts-liberation2, carried inside the Windows executable as a Qt resource:
# a fresh Windows or Wine may have neither Arial nor MS Sans Serif. The
# licence text travels with the fonts (resource and package).
set(TQV_FONT_DIR /usr/share/fonts/truetype/liberation2)
set(TQV_FONT_COPYRIGHT /usr/share/doc/fonts-liberation2/copyright)

# tqv_bundle_fonts(TARGET): adds ":/fonts/*.ttf" and the licence to TARGET.
function(tqv_bundle_fonts target)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/bundled_fonts)
  file(MAKE_DIRECTORY ${out})
  set(entries "")
  foreach(style Regular Bold Italic BoldItalic)
    set(font LiberationSans-${style}.ttf)
    if(NOT EXISTS ${TQV_FONT_DIR}/${font})
      # Only our cross-build from Debian is sure to have them.
      if(CMAKE_CROSSCOMPILING)
        message(FATAL_ERROR "Falta ${TQV_FONT_DIR}/${font} (paquete fonts-liberation2)")
      endif()
      message(WARNING "Sin ${font}: el programa usará las fuentes del sistema")
      return()
    endif()
    configure_file(${TQV_FONT_DIR}/${font} ${out}/${font} COPYONLY)
    string(APPEND entries "    <file>${font}</file>\n")
  endforeach()
  # The fonts' own part of Debian's copyright file (the rest is about the
  # packaging).
  file(READ ${TQV_FONT_COPYRIGHT} text)
  string(FIND "${text}" "\nFiles: debian/" end)
  string(SUBSTRING "${text}" 0 ${end} text)
  file(WRITE ${out}/LiberationSans-LICENSE.txt "${text}\n")
  string(APPEND entries "    <file>LiberationSans-LICENSE.txt</file>\n")
  # Qt's own Spanish texts (standard buttons, edit menus), which a single
  # executable cannot find in a folder beside it.
  set(qm "")
  if(EXISTS /usr/share/qt6/translations/qtbase_es.qm)
    configure_file(/usr/share/qt6/translations/qtbase_es.qm ${out}/qtbase_es.qm COPYONLY)
    set(qm "  <qresource prefix=\"/translations\">\n    <file>qtbase_es.qm</file>\n  </qresource>\n")
  endif()
  file(WRITE ${out}/bundled_fonts.qrc
       "<RCC>\n  <qresource prefix=\"/fonts\">\n${entries}  </qresource>\n${qm}</RCC>\n")
  target_sources(${target} PRIVATE ${out}/bundled_fonts.qrc)
  # The host's rcc compresses with zstd, which our Qt for Windows lacks.
  set_property(TARGET ${target} APPEND PROPERTY AUTORCC_OPTIONS --no-zstd)
  set(TQV_FONT_LICENSE ${out}/LiberationSans-LICENSE.txt PARENT_SCOPE)
endfunction()

# SPDX-License-Identifier: GPL-3.0-or-later
# Installing the suite: the four programs side by side in bin/ (Ondelog looks
# for its companions beside itself), their desktop entries, icons and manual
# pages (French and English), the AppStream description, and the Debian
# copyright and changelog. `make package` turns the same tree into a .deb.
include(GNUInstallDirs)

# The packager's name and address, in the package, its changelog and its
# copyright file. The default is a placeholder, which lintian flags: the
# package then carries the override of that one check, and nothing else.
set(ONDELOG_DEFAULT_MAINTAINER "Ondelog <ondelog@localhost>")
set(ONDELOG_MAINTAINER "${ONDELOG_DEFAULT_MAINTAINER}" CACHE STRING
    "Maintainer of the Debian package: \"Name <address>\"")

# Manual pages: the version put in, compressed as Debian wants them (gzip -9,
# no name or time stamp inside, so that two builds give the same bytes).
set(VERSION ${PROJECT_VERSION})
function(ondelog_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY ONDELOG_DOC_OUTPUTS ${output})
endfunction()

set(ONDELOG_PROGRAMS ondelog fabribase versabase horalink)
set(ONDELOG_DESKTOP_IDS Ondelog Fabribase Versabase Horalink)
foreach(program id IN ZIP_LISTS ONDELOG_PROGRAMS ONDELOG_DESKTOP_IDS)
  # A companion not built yet gets no entry that would start nothing.
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/data/applications/org.ondelog.${id}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_SOURCE_DIR}/data/icons/${program}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(language IN ITEMS "" fr)
      set(page ${CMAKE_BINARY_DIR}/man/${language}/man1/${program}.1)
      configure_file(${CMAKE_SOURCE_DIR}/man/${language}/man1/${program}.1 ${page} @ONLY)
      ondelog_gzip(${page} ${page}.gz)
      install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}/man1)
    endforeach()
  endif()
endforeach()

set(doc ${CMAKE_BINARY_DIR}/doc)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/copyright.in ${doc}/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in ${doc}/changelog @ONLY)
ondelog_gzip(${doc}/changelog ${doc}/changelog.gz)
# Named after the package, whatever the project is called.
install(FILES ${doc}/copyright ${doc}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ondelog)
if(ONDELOG_MAINTAINER STREQUAL ONDELOG_DEFAULT_MAINTAINER)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ondelog)
endif()
get_property(doc_outputs GLOBAL PROPERTY ONDELOG_DOC_OUTPUTS)
add_custom_target(ondelog_docs ALL DEPENDS ${doc_outputs})
install(FILES ${CMAKE_SOURCE_DIR}/data/metainfo/org.ondelog.Ondelog.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ondelog)
set(CPACK_PACKAGE_VENDOR "Ondelog")
set(CPACK_PACKAGE_CONTACT "${ONDELOG_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ONDELOG_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cahier de trafic pour station radioamateur, en français")
# Lines of at most 80 characters, as Debian's description format wants.
set(CPACK_PACKAGE_DESCRIPTION
    "Ondelog tient le cahier de trafic d'une station radioamateur : saisie des
contacts, recherche, tri, impression, étiquettes QSL, échange ADIF, et des
commandes sans fenêtre pour les scripts. Avec Horalink (mise à l'heure),
Fabribase et Versabase (export du log vers une base de données SQLite).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_STRIP_FILES ON)
# The Qt libraries come from the programs' own links; what they only load at
# run time is named here: the SQLite driver, the SVG icons, the French
# translation of Qt's dialogs and the fonts the printed pages name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6svg6, qt6-translations-l10n, qt6-qpa-plugins, fonts-liberation, fonts-comic-neue")
include(CPack)

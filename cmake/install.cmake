# Installing the suite: the four programs side by side in bin/ (Ondelog looks
# for its companions beside itself), their desktop entries and icons, and the
# AppStream description. `make package` turns the same tree into a .deb.
include(GNUInstallDirs)

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
  endif()
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/metainfo/org.ondelog.Ondelog.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ondelog)
set(CPACK_PACKAGE_VENDOR "Ondelog")
set(CPACK_PACKAGE_CONTACT "Ondelog <ondelog@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cahier de trafic pour station radioamateur, en français")
set(CPACK_PACKAGE_DESCRIPTION
    "Ondelog tient le cahier de trafic d'une station radioamateur : saisie des contacts, \
recherche, tri, impression, étiquettes QSL. Avec Horalink (mise à l'heure), Fabribase et \
Versabase (export du log vers une base de données SQLite).")
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

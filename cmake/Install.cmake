# Where `cmake --install` puts Kalvor (programs, standard catalogues, icon, menu entry, software
# centre entry) and the Debian package that CPack builds from the same rules.
include(GNUInstallDirs)

set(KALVOR_APP_ID example.kalvor.Kalvor)
set(KALVOR_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# kalvor-setup finds the catalogues as ../share/kalvor/catalogues from its own folder.
install(TARGETS kalvor-setup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The network calculation on the command line, beside the calculator.
install(TARGETS kalvor-network RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
    ${PROJECT_SOURCE_DIR}/catalogues/data/Duct.txt
    ${PROJECT_SOURCE_DIR}/catalogues/data/OvalDuct.txt
    ${PROJECT_SOURCE_DIR}/catalogues/data/RoundDuct.txt
    DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvor/catalogues)

if(TARGET kalvor)
    install(TARGETS kalvor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

    set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES ${KALVOR_PACKAGING}/kalvor.svg DESTINATION ${icons}/scalable/apps)
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES ${KALVOR_PACKAGING}/icons/kalvor-${size}.png
                DESTINATION ${icons}/${size}x${size}/apps RENAME kalvor.png)
    endforeach()

    install(FILES ${KALVOR_PACKAGING}/${KALVOR_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${KALVOR_PACKAGING}/${KALVOR_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Debian's place for the copyright and licence of a package's files.
install(FILES ${KALVOR_PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalvor)

# The Debian package: `cpack -G DEB` in a build folder configured with CMAKE_INSTALL_PREFIX=/usr.
set(CPACK_PACKAGE_NAME kalvor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}) # all four parts
set(CPACK_PACKAGE_VENDOR "Kalvor developers")
set(CPACK_PACKAGE_CONTACT "Kalvor developers <developers@kalvor.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://kalvor.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "air duct sizing calculator for ventilation engineers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kalvor computes, for a rectangular, a flat-oval and a round duct side by side, the air\n"
    "velocity, the specific friction loss, the equivalent diameter, the dynamic pressure and\n"
    "the pressure loss of a ventilation duct section, and picks the smallest standard size\n"
    "that carries a given air flow within the maximum velocity. kalvor-network computes a\n"
    "whole duct network from a file: the aerodynamic table, the main path, the fan pressure\n"
    "and the balance of the branches. The interface is in Russian.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links come from dpkg-shlibdeps; Qt's windowing plugins are only recommended
# by libqt6gui6, and without them no window opens; Qt's Russian texts (context menus, dialog
# buttons) come from its translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)

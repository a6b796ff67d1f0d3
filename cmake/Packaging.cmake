# Installation and the Debian package: the designer, the print command, the desktop entry, the
# icon and the user guide. Tests, benchmarks and fuzz targets have no install rules.
include(GNUInstallDirs)

# Installing (and packing) takes the two programs as built; it does not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS kassotyp kassotyp-print RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kassotyp.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kassotyp.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kassotyp.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kassotyp)
set(CPACK_PACKAGE_VENDOR Kassotyp)
set(CPACK_PACKAGE_CONTACT "Kassotyp <kassotyp@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "layout designer for what point-of-sale tills print")
set(CPACK_PACKAGE_DESCRIPTION
    "Kassotyp designs the header, item lines, sums, end texts and logos of the documents that "
    "the tills of a shop print on their receipt printers, per till and per printer, with a "
    "live preview and test prints, and keeps the printer, cash drawer, customer display and "
    "paper width settings. kassotyp-print renders the test documents without a window as PDF, "
    "PNG or ESC/POS bytes.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# The platform and SQL driver plugins and Qt's German texts are loaded at run time, so no
# library scan finds them.
set(plugin_packages "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n")
find_program(KASSOTYP_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(KASSOTYP_FILE file)
if(KASSOTYP_DPKG_SHLIBDEPS AND KASSOTYP_FILE)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${plugin_packages}")
else()
    message(STATUS "dpkg-shlibdeps or file missing: the package lists its libraries by hand")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libqt6core6, libqt6gui6, \
libqt6widgets6, libqt6sql6, libqt6printsupport6, libqt6network6, libqt6serialport6, libcups2, \
libzint2.11, ${plugin_packages}")
endif()
# A store shared by several tills lives in PostgreSQL; Wayland desktops want their plugin.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqt6sql6-psql, qt6-wayland")
include(CPack)

# Builds the package, unpacks it into a scratch root and runs the installed print command there.
add_test(NAME package
         COMMAND sh ${PROJECT_SOURCE_DIR}/packaging/check-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package PROPERTIES TIMEOUT 300)

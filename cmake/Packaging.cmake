# Installation and the Debian package: the programs with their manual pages, the desktop entry,
# the icon, the AppStream metadata, the user guide, the copyright and the changelog. Tests,
# benchmarks and fuzz targets have no install rules.
include(GNUInstallDirs)

# Installing (and packing) takes the programs as built; it does not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# The programs the package installs, each with its manual page packaging/man/<program>.1
# (made by scripts/update-man-pages.sh). A name whose target is not part of this tree is left
# out with a note.
set(KASSOTYP_PROGRAMS kassotyp kassotyp-print kassotyp-admin)

set(packaged_programs)
foreach(program IN LISTS KASSOTYP_PROGRAMS)
    if(TARGET ${program})
        list(APPEND packaged_programs ${program})
    else()
        message(STATUS "${program} is not built in this tree: not packaged")
    endif()
endforeach()
# The scripts and the package test read the built programs from here, one path a line.
list(TRANSFORM packaged_programs REPLACE "(.+)" "$<TARGET_FILE:\\1>\n" OUTPUT_VARIABLE paths)
list(JOIN paths "" paths)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/programs.txt CONTENT "${paths}")

# "cmake --build build --target programs" builds just what the package installs.
add_custom_target(programs DEPENDS ${packaged_programs})

# Debian wants manual pages and the changelog compressed, without name and time stamp in the
# gzip header so that the same sources give the same package.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
function(kassotyp_gzip source target)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${target}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip could not compress ${source}")
    endif()
endfunction()

install(TARGETS ${packaged_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped program or module also loses the compiler's version notes, as in Debian's own
# packages. (The modules install themselves, host/systemprint.)
set(binaries ${packaged_programs})
list(TRANSFORM binaries PREPEND ${CMAKE_INSTALL_BINDIR}/)
list(APPEND binaries ${KASSOTYP_PRIVATE_LIBDIR}/kassotyp-systemprint.so)
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(binary ${binaries})
            execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
                --remove-section=.note
                \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${binary})
        endforeach()
    endif()")
foreach(program IN LISTS packaged_programs)
    set(page ${PROJECT_SOURCE_DIR}/packaging/man/${program}.1)
    if(EXISTS ${page})
        kassotyp_gzip(${page} ${CMAKE_BINARY_DIR}/packaging/${program}.1.gz)
        install(FILES ${CMAKE_BINARY_DIR}/packaging/${program}.1.gz
                DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        message(STATUS "${program} has no manual page yet: run scripts/update-man-pages.sh")
    endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kassotyp.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kassotyp.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kassotyp.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.kassotyp.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# A package without a Debian revision is a native one: its changelog is changelog.gz.
kassotyp_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kassotyp)
set(CPACK_PACKAGE_VENDOR Kassotyp)
set(CPACK_PACKAGE_CONTACT "Kassotyp <kassotyp@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "layout designer for what point-of-sale tills print")
# One paragraph; the control file takes the lines as they are, so none is longer than 80.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kassotyp designs the header, item lines, sums, end texts and logos of the\n"
    "documents that the tills of a shop print on their receipt printers, per till\n"
    "and per printer, with a live preview and test prints, and keeps the printer,\n"
    "cash drawer, customer display and paper width settings. kassotyp-print\n"
    "renders the test documents without a window as PDF, PNG or ESC/POS bytes.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# The platform and SQL driver plugins, Qt's German texts, libcups and the libraries loaded at
# first use (host/core/CMakeLists.txt) are loaded at run time, so no library scan finds them.
get_property(lazy_packages GLOBAL PROPERTY KASSOTYP_LAZY_PACKAGES)
list(JOIN lazy_packages ", " lazy_packages)
set(plugin_packages
    "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n, libcups2, ${lazy_packages}")
find_program(KASSOTYP_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(KASSOTYP_FILE file)
if(KASSOTYP_DPKG_SHLIBDEPS AND KASSOTYP_FILE)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${plugin_packages}")
else()
    message(STATUS "dpkg-shlibdeps or file missing: the package lists its libraries by hand")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libqt6core6, libqt6gui6, \
libqt6widgets6, libqt6sql6, libqt6printsupport6, libsqlite3-0, \
${plugin_packages}")
endif()
# A store shared by several tills lives in PostgreSQL; Wayland desktops want their plugin.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqt6sql6-psql, qt6-wayland")
include(CPack)

# Builds the package, unpacks it into a scratch root and runs the installed print command there.
# The hardening of the programs is checked where the build asks for it (not under the sanitizers).
add_test(NAME package
         COMMAND sh ${PROJECT_SOURCE_DIR}/packaging/check-package.sh ${CMAKE_BINARY_DIR}
                 $<IF:$<BOOL:${KASSOTYP_HARDENING}>,hardened,plain>)
set_tests_properties(package PROPERTIES TIMEOUT 300)

# One interface target carries the language level, warnings and Qt defines for every target.
add_library(kassotyp_options INTERFACE)
target_compile_features(kassotyp_options INTERFACE cxx_std_20)
# Includes name their folder from the top of the tree ("editors/LayBonpos.h"); the host layer's
# from host/ ("core/store/layoutstore.h", "widgets/tovoform.h").
target_include_directories(kassotyp_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(kassotyp_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(kassotyp_options INTERFACE
    QT_NO_CAST_TO_ASCII
    QT_USE_QSTRINGBUILDER
    QT_NO_FOREACH
    QT_DISABLE_DEPRECATED_UP_TO=0x060000
    KASSOTYP_VERSION="${PROJECT_VERSION}")

# Hardening as Debian builds its programs: stack protector, fortified libc calls (these need an
# optimised build), position-independent executables and a read-only relocation table that is
# resolved at start-up. The sanitizer build switches it off: FORTIFY's checked libc calls get in
# the way of AddressSanitizer's own interceptors.
option(KASSOTYP_HARDENING "Build with Debian's hardening flags" ON)
if(KASSOTYP_HARDENING)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set_property(TARGET kassotyp_options PROPERTY INTERFACE_POSITION_INDEPENDENT_CODE ON)
    target_compile_options(kassotyp_options INTERFACE
        -fstack-protector-strong
        $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    target_link_options(kassotyp_options INTERFACE LINKER:-z,relro,-z,now)
endif()

# The programs' private modules lie in /usr/lib/<triplet>/kassotyp, as Debian keeps a package's
# private libraries, and are found from the programs' folder: /usr/bin in the package, every
# program's folder in the build tree, next to <build>/lib/<triplet>/kassotyp.
include(GNUInstallDirs)
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(KASSOTYP_PRIVATE_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/kassotyp)
else()
    set(KASSOTYP_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/kassotyp)
endif()
file(RELATIVE_PATH KASSOTYP_PRIVATE_LIBRARY_DIR ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${KASSOTYP_PRIVATE_LIBDIR})
set(KASSOTYP_PRIVATE_LIBRARY_OUTPUT ${CMAKE_BINARY_DIR}/${KASSOTYP_PRIVATE_LIBDIR})

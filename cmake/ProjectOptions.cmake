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

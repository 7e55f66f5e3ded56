# The core library: engines and platform layer, standard C++ only.
# Sources are picked up by directory so each module owns its own files.
file(GLOB ARDVEL_CORE_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/platform/*.cpp
    ${CMAKE_SOURCE_DIR}/src/store/*.cpp
    ${CMAKE_SOURCE_DIR}/src/search/*.cpp
    ${CMAKE_SOURCE_DIR}/src/catalog/*.cpp)

add_library(ardvel_core STATIC ${ARDVEL_CORE_SOURCES})
target_include_directories(ardvel_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(ardvel_core PUBLIC ardvel_options)

# Unicode normalization, case mappings and grapheme clusters for the search.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ARDVEL_UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
target_link_libraries(ardvel_core PRIVATE PkgConfig::ARDVEL_UTF8PROC)

# The core must never depend on Qt.
foreach(src ${ARDVEL_CORE_SOURCES})
    file(STRINGS ${src} qt_includes REGEX "#include <Q")
    if(qt_includes)
        message(FATAL_ERROR "Core source ${src} includes Qt")
    endif()
endforeach()

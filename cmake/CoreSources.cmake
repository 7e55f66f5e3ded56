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
# The name sweep of a large volume runs on a second thread beside the walk.
find_package(Threads REQUIRED)
target_link_libraries(ardvel_core PUBLIC Threads::Threads)

# Unicode normalization, case mappings and grapheme clusters for the search.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ARDVEL_UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
target_link_libraries(ardvel_core PRIVATE PkgConfig::ARDVEL_UTF8PROC)

# The core must never depend on Qt: neither its sources nor its headers.
file(GLOB ARDVEL_CORE_HEADERS CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/platform/*.h
    ${CMAKE_SOURCE_DIR}/src/store/*.h
    ${CMAKE_SOURCE_DIR}/src/search/*.h
    ${CMAKE_SOURCE_DIR}/src/catalog/*.h)
foreach(src ${ARDVEL_CORE_SOURCES} ${ARDVEL_CORE_HEADERS})
    file(STRINGS ${src} qt_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q|qt)")
    if(qt_includes)
        message(FATAL_ERROR "Core file ${src} includes Qt: ${qt_includes}")
    endif()
endforeach()

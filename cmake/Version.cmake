# One version and one application id for everything: the programs read them
# from the generated ArdvelVersion.h, the data files are configured with them.
include(GNUInstallDirs)

set(ARDVEL_APP_ID io.github.ardvel.Ardvel)
# The date of the release that PROJECT_VERSION names (AppStream wants one).
set(ARDVEL_RELEASE_DATE 2026-12-07)

# The executables find their data through this relative path, so that an
# installed tree can be moved as a whole (or staged under DESTDIR).
file(RELATIVE_PATH ARDVEL_DATA_FROM_BIN
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/ardvel)

configure_file(${CMAKE_SOURCE_DIR}/cmake/ArdvelVersion.h.in
    ${CMAKE_BINARY_DIR}/generated/ArdvelVersion.h @ONLY)
add_library(ardvel_version INTERFACE)
target_include_directories(ardvel_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# The core's data-file lookup knows the installed layout from the header.
target_link_libraries(ardvel_core PUBLIC ardvel_version)

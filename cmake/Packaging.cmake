# `cpack -G DEB` in the build folder makes a Debian package of everything
# `cmake --install` installs, with the dependencies of the linked libraries
# (Qt 6 among them) worked out by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME ardvel)
set(CPACK_PACKAGE_VENDOR "The Ardvel developers")
# The package's maintainer is whoever builds it: the contact address of the
# build (ARDVEL_CONTACT_ADDRESS) when one is set.
if(ARDVEL_CONTACT_ADDRESS STREQUAL "")
    set(CPACK_PACKAGE_CONTACT "The Ardvel developers")
else()
    set(CPACK_PACKAGE_CONTACT "The Ardvel developers <${ARDVEL_CONTACT_ADDRESS}>")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of removable media")
set(CPACK_PACKAGE_DESCRIPTION
    "Ardvel records every folder and file of CDs, USB sticks, network shares\n"
    "or any other folder (name, size, date and the artist and title of MP3\n"
    "files) as volumes in catalog files. Without the media at hand, the\n"
    "volumes can be browsed and searched by name mask, text, size, date and\n"
    "MP3 artist or title, and search results saved as text reports.\n"
    "The package holds the window (ardvel) and the command-line companion\n"
    "(ardvel-cli).")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")

include(CPack)

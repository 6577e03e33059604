# CPack settings for the Debian package: `cpack -G DEB` in the build directory.
set(CPACK_PACKAGE_NAME plimo)
set(CPACK_PACKAGE_VENDOR "Plimo developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "arithmetic drill game: answer the sums before they reach the edge")
set(CPACK_PACKAGE_CONTACT "${PLIMO_PACKAGE_MAINTAINER}")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PLIMO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The package is its own upstream, so it carries a plain (native) version and the
# changelog as changelog.gz; the file is named plimo_<version>_<arch>.deb.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Runtime dependencies come from the libraries the game and the checker link against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The summary above is the Description line; this is the extended description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Arithmetic problems such as 7 + 5 or 63 / 7 drift across the screen from
right to left, and the player types the answer to the leading one before
it reaches the left edge. A right answer bursts the problem into coloured
particles and scores points that grow with the speed, which keeps rising;
a wrong answer blocks the keyboard for a moment.
.
There are six modes (addition, subtraction, multiplication, division, a
mix of the four, and a sign quiz answered with plus or minus) and four
difficulties. All menu texts come from one XML file, so that translators
can add a language; plimo-check-content checks their work.")

include(CPack)

# `cpack -G DEB` in the build folder makes build/kestrane_VERSION_ARCH.deb of
# what `cmake --install` installs, under /usr.

set(CPACK_PACKAGE_NAME kestrane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTRANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTRANE_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts a data logger's .DAT log into an .xls workbook")
set(CPACK_PACKAGE_DESCRIPTION "Kestrane reads the .DAT log of a seven-channel test-probe data logger and
writes it as an .xls workbook: a title block with the date and time of the
conversion and the logging interval, a header row with the seven channel
names, and one row per sample with its elapsed time and the seven values.
It is one small window: open a log, see its channel names, convert it.")
# The libraries come from the program's links. No link shows the window's
# font, which the window asks for by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-urw-base35")
# Qt's X11 plugin loads libXcursor for the desktop's cursor theme when it can;
# without it the window works with the X server's plain cursors.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libxcursor1")
include(CPack)

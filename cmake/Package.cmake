# The Debian package: `cpack -G DEB` in a build folder configured for the prefix /usr
# (scripts/package does both). Its dependencies are worked out from the libraries the
# program links (dpkg-shlibdeps), plus the plugins the toolkit loads at run time, which no
# link names.
set(CPACK_PACKAGE_NAME pelvane)
set(CPACK_PACKAGE_VENDOR Brenmoor)
set(CPACK_PACKAGE_CONTACT "Pelvane Developers <pelvane@brenmoor.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelvane Developers <pelvane@brenmoor.example>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://brenmoor.example/pelvane/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tabbed web browser in the classic desktop style")
set(CPACK_PACKAGE_DESCRIPTION
    "Pelvane is a web browser with menus, movable bars, a tab strip with per-tab\n\
state, page groups, pop-up control and a side bar with favorites, history and\n\
search. It shows pages with Qt WebEngine.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The settings store needs the SQLite driver, and a window needs a platform plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-image-formats-plugins, xdg-utils")
set(CPACK_GENERATOR DEB)
include(CPack)

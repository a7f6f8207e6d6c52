# What `cmake --install` puts under the prefix, in the places GNUInstallDirs names. Included
# from src/CMakeLists.txt beside the program's own rule.

set(_res ${CMAKE_SOURCE_DIR}/resources)
set(_share ${CMAKE_INSTALL_DATADIR}/pelvane)

# Read-only data the program finds beside itself (platform/Paths): the shipped pages, and
# the defaults (formfiller.ini) and the help pages.
install(DIRECTORY ${_res}/pages DESTINATION ${_share})
install(DIRECTORY ${_res}/help DESTINATION ${_share} OPTIONAL)
install(FILES ${_res}/formfiller.ini DESTINATION ${_share})

# The icon in the theme every desktop reads, drawn once (scalable) and rendered at the sizes
# menus and task bars ask for (scripts/icons).
install(DIRECTORY ${_res}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${_res}/icons/pelvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The desktop entry names the program by name where the prefix's bin folder is on every
# user's PATH, and by its full path elsewhere.
if(CMAKE_INSTALL_FULL_BINDIR STREQUAL "/usr/bin" OR CMAKE_INSTALL_FULL_BINDIR STREQUAL "/usr/local/bin")
    set(PELVANE_EXEC pelvane)
else()
    set(PELVANE_EXEC ${CMAKE_INSTALL_FULL_BINDIR}/pelvane)
endif()
configure_file(${_res}/desktop/pelvane.desktop.in ${CMAKE_BINARY_DIR}/pelvane.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/pelvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${_res}/desktop/com.brenmoor.pelvane.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/com.brenmoor.pelvane.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/com.brenmoor.pelvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${_res}/man/pelvane.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

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

# The manual page and the changelog compressed as Debian keeps them (gzip -9n: no name or
# time inside, so the same sources give the same bytes), with the copyright file beside
# the changelog in share/doc/pelvane. Compressed when configuring, again when they change.
set(_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/pelvane)
file(STRINGS ${_res}/debian/changelog _latest LIMIT_COUNT 1)
if(NOT _latest MATCHES "^pelvane \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "resources/debian/changelog does not begin with version ${PROJECT_VERSION}")
endif()
foreach(_plain man/pelvane.1 debian/changelog)
    get_filename_component(_name ${_plain} NAME)
    execute_process(COMMAND gzip -9n -c ${_res}/${_plain}
                    OUTPUT_FILE ${CMAKE_BINARY_DIR}/${_name}.gz RESULT_VARIABLE _gzip)
    if(NOT _gzip EQUAL 0)
        message(FATAL_ERROR "gzip could not compress resources/${_plain}")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_res}/${_plain})
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/pelvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz ${_res}/debian/copyright DESTINATION ${_doc})

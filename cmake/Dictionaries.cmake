# The spelling dictionaries: each hunspell dictionary of the system (Debian's hunspell-*
# packages, in /usr/share/hunspell) converted to the engine's format with the engine's own
# tool, into qtwebengine_dictionaries/ of the build folder, and installed beside the shipped
# pages. An alias of another dictionary (a link) is left out: the language's other
# dictionaries stand in for it.
set(PELVANE_HUNSPELL_FOLDER /usr/share/hunspell CACHE PATH "Where the hunspell dictionaries are")
find_program(PELVANE_CONVERT_DICT qwebengine_convert_dict
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS} /usr/lib/qt6/libexec)
set(_dictionaries ${CMAKE_BINARY_DIR}/qtwebengine_dictionaries)
set(_made)
if(PELVANE_CONVERT_DICT)
    file(GLOB _dics ${PELVANE_HUNSPELL_FOLDER}/*.dic)
    foreach(_dic IN LISTS _dics)
        get_filename_component(_name ${_dic} NAME_WE)
        set(_aff ${PELVANE_HUNSPELL_FOLDER}/${_name}.aff)
        if(IS_SYMLINK ${_dic} OR NOT EXISTS ${_aff})
            continue()
        endif()
        string(REPLACE "_" "-" _language ${_name})
        set(_out ${_dictionaries}/${_language}.bdic)
        add_custom_command(OUTPUT ${_out}
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${_dictionaries}
                           COMMAND ${PELVANE_CONVERT_DICT} ${_dic} ${_out}
                           DEPENDS ${_dic} ${_aff}
                           COMMENT "Converting the ${_language} spelling dictionary" VERBATIM)
        list(APPEND _made ${_out})
    endforeach()
endif()
if(NOT _made)
    message(STATUS "No spelling dictionaries: install hunspell-en-us (scripts/setup does)")
endif()
add_custom_target(pelvane_dictionaries ALL DEPENDS ${_made})
install(DIRECTORY ${_dictionaries} DESTINATION ${CMAKE_INSTALL_DATADIR}/pelvane OPTIONAL)

# `make dist`: the Windows zip from the Windows build, the Debian package of
# the command-line tools from the native build, both with CPack, into
# VELQO_DIST_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/VelqoVersion.cmake)

set(VELQO_DIST_DIR ${PROJECT_SOURCE_DIR}/build/dist CACHE PATH "Where the packages are written")
set(CPACK_PACKAGE_VERSION ${VELQO_VERSION})
set(CPACK_PACKAGE_VENDOR "VELQO")
set(CPACK_PACKAGE_CONTACT "VELQO <support@velqo.example>")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/cpack)
set(CPACK_OUTPUT_FILE_PREFIX ${VELQO_DIST_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 1)

if(WIN32)
    # A portable folder: unzip and run; nothing is installed.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME VELQO_LAN_MM)
    set(CPACK_PACKAGE_FILE_NAME VELQO_LAN_MM-${VELQO_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in
        ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/help/ABOUT-HELP.txt
        ${CMAKE_BINARY_DIR}/packaging/help/ABOUT-HELP.txt NEWLINE_STYLE CRLF)
    install(TARGETS VELQO_LAN_MM velqo-cli velqo-boxsim RUNTIME DESTINATION .)
    install(FILES ${VELQO_STATUS_PICTURES} DESTINATION status)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/help/ABOUT-HELP.txt DESTINATION help)
    # The window saves its settings into config/ but does not make the folder.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/config)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/packaging/config DESTINATION .)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME velqo-tools)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
        "command-line client and substitute box for VELQO set-top boxes")
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "velqo-cli lists, downloads, uploads, backs up and restores the files of a\n\
VELQO set-top box over the LAN. velqo-boxsim is a substitute box that serves\n\
a folder over the same protocol, for trying the tools and for replaying a backup.")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

    # One man page per program, made from its --help text: written once.
    find_program(HELP2MAN help2man REQUIRED)
    find_program(GZIP gzip REQUIRED)
    set(man_dir ${CMAKE_BINARY_DIR}/man)
    set(man_pages)
    foreach(program velqo-cli velqo-boxsim)
        if(program STREQUAL velqo-cli)
            set(summary "command-line client for VELQO set-top boxes")
        else()
            set(summary "substitute VELQO set-top box serving a folder")
        endif()
        add_custom_command(OUTPUT ${man_dir}/${program}.1.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
            COMMAND ${HELP2MAN} --no-info --no-discard-stderr
                    --version-string=${VELQO_VERSION} --name=${summary}
                    --output=${man_dir}/${program}.1 $<TARGET_FILE:${program}>
            COMMAND ${GZIP} -9nf ${man_dir}/${program}.1
            DEPENDS ${program}
            COMMENT "Man page of ${program}"
            VERBATIM)
        list(APPEND man_pages ${man_dir}/${program}.1.gz)
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${man_pages})
    install(TARGETS velqo-cli velqo-boxsim RUNTIME DESTINATION bin)
    install(FILES ${man_pages} DESTINATION share/man/man1)
endif()

include(CPack)

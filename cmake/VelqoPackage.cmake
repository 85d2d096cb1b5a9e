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
    configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt
        @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt
        ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt DESTINATION .)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/help/ABOUT-HELP.txt DESTINATION help)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/json/velqo-cli.schema.json DESTINATION json)
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
a folder over the same protocol, for trying the tools and for replaying a\n\
backup.")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    # The package's version is the program's with the Debian revision of the
    # changelog's newest entry ("1.001-1"): a new package of the same program
    # gets a new entry with the next revision, the program keeps its version.
    set(changelog ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
    file(STRINGS ${changelog} newest LIMIT_COUNT 1)
    if(NOT newest MATCHES "^${CPACK_PACKAGE_NAME} \\(([^)]+)-([0-9]+)\\) ")
        message(FATAL_ERROR "${changelog}: the newest entry, \"${newest}\", "
            "has no version UPSTREAM-REVISION")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL VELQO_VERSION)
        message(FATAL_ERROR "${changelog}: the newest entry is for ${CMAKE_MATCH_1}, "
            "base/Version.h says ${VELQO_VERSION}")
    endif()
    set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        ${changelog})
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The completion is read by bash-completion; backup --git runs git.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS git)

    # One man page per program, made from its --help text and the sections
    # --help does not hold (examples, files, environment, see also) in
    # packaging/man/PROGRAM.h2m: each written once.
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
        set(man_include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
        add_custom_command(OUTPUT ${man_dir}/${program}.1.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
            COMMAND ${HELP2MAN} --no-info --no-discard-stderr
                    --version-string=${VELQO_VERSION} --name=${summary}
                    --include=${man_include}
                    --output=${man_dir}/${program}.1 $<TARGET_FILE:${program}>
            COMMAND ${GZIP} -9nf ${man_dir}/${program}.1
            DEPENDS ${program} ${man_include}
            COMMENT "Man page of ${program}"
            VERBATIM)
        list(APPEND man_pages ${man_dir}/${program}.1.gz)
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${man_pages})
    install(TARGETS velqo-cli velqo-boxsim RUNTIME DESTINATION bin)
    # After CPack's strip, as dh_strip does it: the compiler's .comment and
    # the .note section are of no use in an installed program.
    install(CODE "
        foreach(program velqo-cli velqo-boxsim)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                --remove-section=.note \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()")
    install(FILES ${man_pages} DESTINATION share/man/man1)
    # The daily backup of a box: systemctl enable --now velqo-backup@NAME.timer
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/systemd/velqo-backup@.service
        ${PROJECT_SOURCE_DIR}/packaging/systemd/velqo-backup@.timer
        DESTINATION lib/systemd/system)

    # Shell completion: bash's script under each program's name, where
    # bash-completion looks for it, and zsh's, which reads bash's.
    set(completion ${PROJECT_SOURCE_DIR}/packaging/completion)
    foreach(program velqo-cli velqo-boxsim)
        install(FILES ${completion}/velqo.bash DESTINATION share/bash-completion/completions
            RENAME ${program})
    endforeach()
    install(FILES ${completion}/_velqo-cli DESTINATION share/zsh/vendor-completions)

    # /usr/share/doc/velqo-tools: copyright, changelog and README.
    # The copyright file in Debian's machine-readable format, its notice and
    # licence text taken from LICENSE.
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
    if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(Permission .*[^\n])\n*$")
        message(FATAL_ERROR "LICENSE does not read as the MIT licence with one copyright line")
    endif()
    set(VELQO_COPYRIGHT ${CMAKE_MATCH_1})
    # Each line of a field's text starts with a blank; an empty line is " .".
    string(REPLACE "\n\n" "\n.\n" VELQO_LICENSE_BODY "${CMAKE_MATCH_2}")
    string(REPLACE "\n" "\n " VELQO_LICENSE_BODY " ${VELQO_LICENSE_BODY}")
    # The programs' --version prints the same line from base/Version.h.
    file(STRINGS ${VELQO_VERSION_SOURCE} copyright_line REGEX "define VELQO_COPYRIGHT_TEXT")
    string(REGEX REPLACE ".*VELQO_COPYRIGHT_TEXT \"([^\"]*)\".*" "\\1" copyright_text
        "${copyright_line}")
    if(NOT copyright_text STREQUAL "Copyright (c) ${VELQO_COPYRIGHT}")
        message(FATAL_ERROR "VELQO_COPYRIGHT_TEXT in base/Version.h, \"${copyright_text}\", "
            "is not LICENSE's line \"Copyright (c) ${VELQO_COPYRIGHT}\"")
    endif()
    set(doc_dir ${CMAKE_BINARY_DIR}/doc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${doc_dir}/copyright @ONLY)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/LICENSE)
    # Compressed as Debian wants it: the most, without a time stamp; named
    # changelog.Debian, as a package with a Debian revision names it.
    add_custom_command(OUTPUT ${doc_dir}/changelog.Debian.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${changelog} ${doc_dir}/changelog.Debian
        COMMAND ${GZIP} -9nf ${doc_dir}/changelog.Debian
        DEPENDS ${changelog}
        COMMENT "Debian changelog"
        VERBATIM)
    add_custom_target(debian_changelog ALL DEPENDS ${doc_dir}/changelog.Debian.gz)
    install(FILES ${doc_dir}/copyright ${doc_dir}/changelog.Debian.gz ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION share/doc/${CPACK_PACKAGE_NAME})
    # The files the README links to, at the same place beside it, so that
    # its links work where it is installed too.
    file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
    # Without the link's ']', which a CMake list would take as a bracket.
    string(REPLACE "](" " LINK(" readme "${readme}")
    string(REGEX MATCHALL "LINK\\([^):# ]+\\)" links "${readme}")
    list(REMOVE_DUPLICATES links)
    foreach(item ${links})
        string(REGEX REPLACE "^LINK\\((.*)\\)$" "\\1" link "${item}")
        if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${link} OR IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${link})
            message(FATAL_ERROR "README.md links to ${link}, which is no file")
        endif()
        get_filename_component(link_dir ${link} DIRECTORY)
        install(FILES ${PROJECT_SOURCE_DIR}/${link}
            DESTINATION share/doc/${CPACK_PACKAGE_NAME}/${link_dir})
    endforeach()
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/README.md)
endif()

include(CPack)

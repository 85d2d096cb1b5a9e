# The native programs are built as Debian builds its packages: with the
# hardening flags of dpkg-buildflags (fortified functions, stack protector,
# read-only relocations bound at start, PIE), so that the .deb's programs
# carry them. The file prefix map is left out: it serves reproducible
# builds, not hardening, and would make every checkout's compile lines differ.
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)

function(velqo_debian_flags area out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${area}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-ffile-prefix-map=")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

velqo_debian_flags(CPPFLAGS velqo_cppflags)
velqo_debian_flags(CXXFLAGS velqo_cxxflags)
velqo_debian_flags(LDFLAGS velqo_ldflags)
add_compile_options(${velqo_cppflags} ${velqo_cxxflags})
add_link_options(${velqo_ldflags})

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

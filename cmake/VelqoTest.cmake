# GoogleTest from the sources Debian ships, built with the project's own flags.
set(VELQO_GTEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)

macro(velqo_use_gtest)
    if(NOT TARGET gtest)
        add_subdirectory(${VELQO_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
endmacro()

# velqo_add_test(NAME SOURCES src... LIBS lib...)
# One test program, registered with ctest as one test; it runs from a fresh
# temporary working directory, never from the source tree.
function(velqo_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    velqo_use_gtest()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
    # A suite's sources each define their own helpers and tables in an
    # unnamed namespace, so they are compiled one by one; GoogleTest's header,
    # which every one of them reads, is read once per suite instead. They are
    # run, not shipped: compiled without optimisation, which halves their
    # compile time (the product's libraries they test keep the build's flags).
    set_target_properties(${name} PROPERTIES UNITY_BUILD OFF)
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h>)
    target_compile_options(${name} PRIVATE -O0 -U_FORTIFY_SOURCE)
    set(workdir ${CMAKE_BINARY_DIR}/testrun/${name})
    file(MAKE_DIRECTORY ${workdir})
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${workdir})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600
        ENVIRONMENT "VELQO_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
    # Suites that show windows take turns on the one desktop (focus, the
    # active window); the others run beside them.
    if(VELQO_TESTS_SHOW_WINDOWS)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
    endif()
endfunction()

# Header-only libraries from Debian, for the native and the Windows build alike.
# The MinGW build must not see the Linux headers in /usr/include, so each
# library's target includes a folder of its own that holds only a link to the
# library's header folder.

# velqo_header_only_library(TARGET HEADER folder/header PACKAGE debian-package)
function(velqo_header_only_library target)
    cmake_parse_arguments(H "" "HEADER;PACKAGE" "" ${ARGN})
    string(TOUPPER ${target}_ROOT root)
    find_path(${root} ${H_HEADER}
        PATHS /usr/include /usr/local/include
        NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT ${root})
        message(FATAL_ERROR "${H_HEADER} not found: install ${H_PACKAGE}")
    endif()
    get_filename_component(folder ${H_HEADER} DIRECTORY)
    set(include ${CMAKE_BINARY_DIR}/header-only/${target})
    file(MAKE_DIRECTORY ${include})
    file(CREATE_LINK ${${root}}/${folder} ${include}/${folder} SYMBOLIC)
    add_library(${target} INTERFACE)
    target_include_directories(${target} SYSTEM INTERFACE ${include})
endfunction()

# velqo_json: nlohmann-json.
velqo_header_only_library(velqo_json HEADER nlohmann/json.hpp PACKAGE nlohmann-json3-dev)

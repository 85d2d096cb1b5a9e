# velqo_json: nlohmann-json (Debian's nlohmann-json3-dev), header-only, for the
# native and the Windows build alike. The MinGW build must not see the Linux
# headers in /usr/include, so both builds include a folder of their own that
# holds only a link to nlohmann/.
find_path(VELQO_NLOHMANN_JSON_ROOT nlohmann/json.hpp
    PATHS /usr/include /usr/local/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT VELQO_NLOHMANN_JSON_ROOT)
    message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev")
endif()
set(velqo_json_include ${CMAKE_BINARY_DIR}/header-only)
file(MAKE_DIRECTORY ${velqo_json_include})
file(CREATE_LINK ${VELQO_NLOHMANN_JSON_ROOT}/nlohmann ${velqo_json_include}/nlohmann SYMBOLIC)
add_library(velqo_json INTERFACE)
target_include_directories(velqo_json SYSTEM INTERFACE ${velqo_json_include})

# velqo_dtl: the diff template library (Debian's libdtl-dev), header-only,
# for the native and the Windows build alike. As with nlohmann-json, the
# MinGW build must not see the Linux headers in /usr/include, so both builds
# include a folder of their own that holds only a link to dtl/.
find_path(VELQO_DTL_ROOT dtl/dtl.hpp
    PATHS /usr/include /usr/local/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT VELQO_DTL_ROOT)
    message(FATAL_ERROR "dtl/dtl.hpp not found: install libdtl-dev")
endif()
set(velqo_dtl_include ${CMAKE_BINARY_DIR}/header-only-dtl)
file(MAKE_DIRECTORY ${velqo_dtl_include})
file(CREATE_LINK ${VELQO_DTL_ROOT}/dtl ${velqo_dtl_include}/dtl SYMBOLIC)
add_library(velqo_dtl INTERFACE)
target_include_directories(velqo_dtl SYSTEM INTERFACE ${velqo_dtl_include})

# velqo_windows_program(TARGET)
# A program of the Windows package: once linked, its load configuration
# directory is pointed at _load_config_used (base/DllSearchWin32.cpp), which
# MinGW's ld 2.40 leaves empty, so that Windows searches the libraries it
# imports in System32 only. Nothing to do elsewhere.
function(velqo_windows_program target)
    if(WIN32)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/set-load-config.py
                ${CMAKE_NM} $<TARGET_FILE:${target}>
            VERBATIM)
    endif()
endfunction()

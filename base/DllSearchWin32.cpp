#include "base/DllSearch.h"

#include <windows.h>

// The program's load configuration, found through its name by
// tools/set-load-config.py. Only DependentLoadFlags is set: the imported
// libraries come from System32. In this object file, so that every program
// that calls LoadDllsFromSystemOnly links it in; constant, since the loader
// reads it before any of the program's code has run. (DependentLoadFlags is
// named Reserved1 in MinGW's headers of this release.)
extern "C" constinit const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64),
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32,
};

bool LoadDllsFromSystemOnly() {
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != 0;
}

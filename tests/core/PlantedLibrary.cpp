// A library that a box file could pose as: DllSearchTest plants it where
// Windows' default search would find it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

#pragma once
// The log console's colour codes: 0 white, 1 red, 2 navy, anything else light grey.
#include <windows.h>

inline COLORREF LogColor(int code) {
    switch (code) {
        case 0:
            return RGB(255, 255, 255);
        case 1:
            return RGB(255, 0, 0);
        case 2:
            return RGB(0, 0, 128);
        default:
            return RGB(222, 222, 222);
    }
}

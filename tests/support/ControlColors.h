#pragma once
// The colours a dialog answers for one of its controls, asked as the control asks
// before it paints (a WM_CTLCOLOR... message), on a DC of other colours.
#include "framework/FrameworkWin.h"

struct ControlColors {
    COLORREF text;
    COLORREF back;
    COLORREF brush;      // the answered brush's colour; CLR_INVALID without one
    HBRUSH brushHandle;  // as answered, not owned
};

ControlColors AskControlColors(HWND dialog, HWND control, UINT message);

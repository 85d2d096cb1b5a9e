#pragma once
// The whole-window DC of a window (GetWindowDC), released when this object goes.
#include "framework/CBorrowedDC.h"

class CWnd;

class CWindowDC : public CBorrowedDC {
public:
    explicit CWindowDC(CWnd* wnd);
    explicit CWindowDC(HWND hwnd);
};

#pragma once
// A DC borrowed from a window (GetDC or GetWindowDC), given back with ReleaseDC when
// this object goes, its selections restored first. It offers no way to delete,
// detach or swap the DC: what it borrowed can only go back where it came from.
#include "framework/CDrawingDC.h"

class CBorrowedDC : public CDrawingDC {
public:
    ~CBorrowedDC();

protected:
    // `dc` was borrowed from `hwnd` (null: the screen).
    CBorrowedDC(HWND hwnd, HDC dc);

private:
    HWND m_hWnd;  // not owned
};

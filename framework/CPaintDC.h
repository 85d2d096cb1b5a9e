#pragma once
// BeginPaint/EndPaint for one WM_PAINT of a window; like a borrowed DC it can be
// neither deleted nor detached, so the paint always ends.
#include "framework/CDrawingDC.h"

class CWnd;

class CPaintDC : public CDrawingDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;  // not owned
};

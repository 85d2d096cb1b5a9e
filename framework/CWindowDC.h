#pragma once
// The whole-window DC of a window (GetWindowDC), released when this object goes.
#include "framework/CDC.h"

class CWnd;

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
    explicit CWindowDC(HWND hwnd);
    ~CWindowDC() override;

private:
    HWND m_hWnd;  // not owned
};

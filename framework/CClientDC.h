#pragma once
// The client-area DC of a window (GetDC), released when this object goes. A null
// window gives the screen DC.
#include "framework/CDC.h"

class CWnd;

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    explicit CClientDC(HWND hwnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;  // not owned
};

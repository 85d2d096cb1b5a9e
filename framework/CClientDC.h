#pragma once
// The client-area DC of a window (GetDC), released when this object goes. A null
// window gives the screen DC.
#include "framework/CBorrowedDC.h"

class CWnd;

class CClientDC : public CBorrowedDC {
public:
    explicit CClientDC(CWnd* wnd);
    explicit CClientDC(HWND hwnd);
};

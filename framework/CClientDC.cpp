#include "framework/CClientDC.h"

#include "framework/CWnd.h"

CClientDC::CClientDC(CWnd* wnd) : CClientDC(wnd != nullptr ? wnd->m_hWnd : nullptr) {}

CClientDC::CClientDC(HWND hwnd) : m_hWnd(hwnd) {
    Attach(::GetDC(hwnd));
}

CClientDC::~CClientDC() {
    HDC dc = Detach();
    if (dc != nullptr) {
        ::ReleaseDC(m_hWnd, dc);
    }
}

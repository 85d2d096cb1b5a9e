#include "framework/CWindowDC.h"

#include "framework/CWnd.h"

CWindowDC::CWindowDC(CWnd* wnd) : CWindowDC(wnd != nullptr ? wnd->m_hWnd : nullptr) {}

CWindowDC::CWindowDC(HWND hwnd) : m_hWnd(hwnd) {
    Attach(::GetWindowDC(hwnd));
}

CWindowDC::~CWindowDC() {
    HDC dc = Detach();
    if (dc != nullptr) {
        ::ReleaseDC(m_hWnd, dc);
    }
}

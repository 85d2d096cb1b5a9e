#include "framework/CBorrowedDC.h"

CBorrowedDC::CBorrowedDC(HWND hwnd, HDC dc) : m_hWnd(hwnd) {
    m_hDC = dc;
}

CBorrowedDC::~CBorrowedDC() {
    RestoreSelections();
    if (m_hDC != nullptr) {
        ::ReleaseDC(m_hWnd, m_hDC);
    }
}

#include "framework/CWindowDC.h"

#include "framework/CWnd.h"

CWindowDC::CWindowDC(CWnd* wnd) : CWindowDC(wnd != nullptr ? wnd->m_hWnd : nullptr) {}

CWindowDC::CWindowDC(HWND hwnd) : CBorrowedDC(hwnd, ::GetWindowDC(hwnd)) {}

#include "framework/CClientDC.h"

#include "framework/CWnd.h"

CClientDC::CClientDC(CWnd* wnd) : CClientDC(wnd != nullptr ? wnd->m_hWnd : nullptr) {}

CClientDC::CClientDC(HWND hwnd) : CBorrowedDC(hwnd, ::GetDC(hwnd)) {}

#include "framework/CDataExchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "framework/CWinApp.h"
#include "framework/CWnd.h"

HWND CDataExchange::PrepareCtrl(int id) {
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (m_hWndLastControl != nullptr) {
        ::SetFocus(m_hWndLastControl);
        char className[16] = {};
        ::GetClassNameA(m_hWndLastControl, className, sizeof(className));
        if (::lstrcmpiA(className, "Edit") == 0) {
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
        }
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->m_bFailed || control.m_hWnd != nullptr) {
        return;
    }
    control.SubclassWindow(::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id));
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    if (dx->m_bFailed) {
        return;
    }
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthA(control);
        char* buffer = value.GetBuffer(length);
        value.ReleaseBuffer(::GetWindowTextA(control, buffer, length + 1));
    } else {
        ::SetWindowTextA(control, value);
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    if (dx->m_bFailed) {
        return;
    }
    CString text;
    if (!dx->m_bSaveAndValidate) {
        text.Format("%d", value);
    }
    DDX_Text(dx, id, text);
    if (!dx->m_bSaveAndValidate) {
        return;
    }
    const char* start = text.GetString();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(start, &end, 10);
    while (end != nullptr && (*end == ' ' || *end == '\t')) {
        ++end;
    }
    if (end == start || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        AfxMessageBox("Please enter a whole number.", MB_ICONEXCLAMATION);
        dx->Fail();
        return;
    }
    value = static_cast<int>(parsed);
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    if (dx->m_bFailed) {
        return;
    }
    if (!dx->m_bSaveAndValidate) {
        if (dx->m_hWndLastControl != nullptr) {
            ::SendMessageA(dx->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        }
        return;
    }
    if (value.GetLength() > maxChars) {
        CString message;
        message.Format("Please enter no more than %d character%s.", maxChars,
                       maxChars == 1 ? "" : "s");
        AfxMessageBox(message, MB_ICONEXCLAMATION);
        dx->Fail();
    }
}

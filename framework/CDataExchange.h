#pragma once
// Data exchange between a dialog's controls and its members. DoDataExchange lists
// the exchanges; UpdateData(FALSE) shows the members in the controls,
// UpdateData(TRUE) reads them back and validates. A failed validation shows the
// standard message, marks the exchange failed and skips every later exchange of the
// same run.
#include "framework/CString.h"
#include "framework/FrameworkWin.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;  // not owned
    BOOL m_bSaveAndValidate;
    bool m_bFailed = false;
    HWND m_hWndLastControl = nullptr;  // the control of the latest DDX_Text

    // The control `id` of the dialog, remembered as the one later validations refer to.
    HWND PrepareCtrl(int id);
    // Marks the exchange failed; the focus goes to the last prepared control.
    void Fail();
};

// Binds `control` to the dialog's control `id` (first exchange only): the object
// subclasses the control so its messages and reflected notifications reach it.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Window text of control `id` <-> `value`.
void DDX_Text(CDataExchange* dx, int id, CString& value);
// A whole number; reading back text that is not one shows the standard message and fails.
void DDX_Text(CDataExchange* dx, int id, int& value);
// Showing data: limits the last control's text to `maxChars`; reading back: more
// than `maxChars` characters show the standard message and fail.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);

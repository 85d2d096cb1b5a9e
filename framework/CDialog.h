#pragma once
// A dialog from a template resource. DoModal runs it modally (DialogBoxParam);
// Create makes it modeless. The object is bound to its window once, when the
// window is created (WM_INITDIALOG), and from then on the window's messages go
// through the object's message map like any CWnd's. OnInitDialog shows the data
// (UpdateData(FALSE)); the standard OK (IDOK: UpdateData(TRUE), then EndDialog(IDOK)
// when the data is valid) and Cancel (EndDialog(IDCANCEL)) are entries of this
// class's map, so a derived map that lists IDOK or IDCANCEL replaces them.
#include "framework/CWnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    // With no parent, DoModal uses the application's main window as owner.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns EndDialog's result, or -1 when the dialog
    // could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (owned by this object); FALSE on failure.
    BOOL Create(CWnd* parent = nullptr);
    // Ends a modal dialog with `result`; destroys a modeless one.
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // TRUE when the exchange ran without a validation failure. When reading back
    // fails, the focus goes to the control that failed.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;  // not owned
    INT_PTR m_nModalResult = -1;

protected:
    DECLARE_MESSAGE_MAP()

    virtual void DoDataExchange(CDataExchange* dx);
    // A modeless dialog takes its keyboard navigation here (IsDialogMessage).
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    static INT_PTR CALLBACK StartDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerHwnd() const;

    bool m_bModal = false;
};

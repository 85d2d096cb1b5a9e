#pragma once
// The icon button tests' modeless dialog: its buttons bound to IconButtons the way
// the main window binds its Login button, and the parent's view of their clicks.
#include "framework/CBrush.h"
#include "framework/CDialog.h"
#include "ui/widgets/IconButton.h"

class TestDialog : public CDialog {
public:
    TestDialog();

    IconButton m_btnLogin;
    IconButton m_btnDefault;
    IconButton m_btnCheck;
    IconButton m_btnNoCaption;
    IconButton m_btnOwnerDrawn;

    int m_nLoginClicks = 0;
    int m_nLoginDoubleClicks = 0;
    int m_nCheckClicks = 0;
    // Paints the dialog's background in `colour` from now on.
    void SetBackground(COLORREF color);

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT kind);
    void OnLoginClicked() { ++m_nLoginClicks; }
    void OnLoginDoubleClicked() { ++m_nLoginDoubleClicks; }
    void OnCheckClicked() { ++m_nCheckClicks; }

private:
    CBrush m_background;
};

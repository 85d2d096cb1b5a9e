#include "TestDialog.h"

#include "TestIds.h"
#include "framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_COMMAND(IDC_LOGIN, BN_CLICKED, &TestDialog::OnLoginClicked)
ON_COMMAND(IDC_LOGIN, BN_DOUBLECLICKED, &TestDialog::OnLoginDoubleClicked)
ON_COMMAND(IDC_CHECK, BN_CLICKED, &TestDialog::OnCheckClicked)
ON_WM_CTLCOLOR(&TestDialog::OnCtlColor)
END_MESSAGE_MAP()

TestDialog::TestDialog() : CDialog(IDD_WIDGET_TEST) {}

void TestDialog::SetBackground(COLORREF color) {
    m_background.DeleteObject();
    m_background.CreateSolidBrush(color);
}

void TestDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_LOGIN, m_btnLogin);
    DDX_Control(dx, IDC_DEFAULT, m_btnDefault);
    DDX_Control(dx, IDC_CHECK, m_btnCheck);
    DDX_Control(dx, IDC_NO_CAPTION, m_btnNoCaption);
    DDX_Control(dx, IDC_OWNER_DRAWN, m_btnOwnerDrawn);
}

HBRUSH TestDialog::OnCtlColor(CDC* dc, CWnd* child, UINT kind) {
    if (kind == CTLCOLOR_DLG && m_background.GetSafeHandle() != nullptr) {
        return m_background;
    }
    return CWnd::OnCtlColor(dc, child, kind);
}

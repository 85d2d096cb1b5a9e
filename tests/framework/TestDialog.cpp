#include "TestDialog.h"

BEGIN_MESSAGE_MAP(ConsumingButton, CButton)
ON_CONTROL_REFLECT(BN_CLICKED, &ConsumingButton::OnClicked)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(PassingButton, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, &PassingButton::OnClicked)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(BlueEdit, CEdit)
ON_CTLCOLOR_REFLECT(&BlueEdit::CtlColor)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_COMMAND(IDC_CONSUME, BN_CLICKED, &TestDialog::OnConsume)
ON_COMMAND(IDC_PASS, BN_CLICKED, &TestDialog::OnPass)
ON_COMMAND(IDC_PLAIN, BN_CLICKED, &TestDialog::OnPlain)
ON_COMMAND_RANGE(ID_FILE_OPEN, ID_FILE_EXIT, 0, &TestDialog::OnFileCommand)
ON_MESSAGE(WM_APP + 1, &TestDialog::OnAppMessage)
ON_NOTIFY(kCustomNotify, IDC_NAME, &TestDialog::OnCustomNotify)
END_MESSAGE_MAP()

void RedButton::DrawItem(DRAWITEMSTRUCT* item) {
    ++m_nDraws;
    CDC dc;
    dc.Attach(item->hDC);
    CBrush red(RGB(255, 0, 0));
    dc.FillRect(&item->rcItem, red);
}

HBRUSH BlueEdit::CtlColor(CDC* dc, UINT kind) {
    ++m_nRequests;
    m_nLastKind = kind;
    dc->SetTextColor(RGB(255, 0, 0));
    dc->SetBkColor(RGB(0, 0, 255));
    return m_brush;
}

void TestDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_CONSUME, m_consume);
    DDX_Control(dx, IDC_PASS, m_pass);
    DDX_Control(dx, IDC_OWNERDRAW, m_red);
    DDX_Control(dx, IDC_BITMAP, m_bitmap);
    DDX_Control(dx, IDC_COLORED, m_colored);
    DDX_Control(dx, IDC_READONLY, m_readOnly);
    DDX_Text(dx, IDC_NAME, m_name);
    DDX_Text(dx, IDC_CODE, m_code);
    DDV_MaxChars(dx, m_code, 4);
    DDX_Text(dx, IDC_NUMBER, m_nNumber);
}

BOOL TestDialog::OnInitDialog() {
    m_consume.m_pLog = &m_log;
    m_pass.m_pLog = &m_log;
    CDialog::OnInitDialog();
    m_bitmap.LoadBitmaps(IDB_SQUARE);
    return TRUE;
}

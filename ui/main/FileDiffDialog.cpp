#include "ui/main/FileDiffDialog.h"

#include "framework/CDataExchange.h"
#include "resources/resource.h"

FileDiffDialog::FileDiffDialog(CWnd* parent, std::string title, std::string unified)
    : CDialog(IDD_FILE_DIFF, parent),
      m_strTitle(std::move(title)),
      m_strUnified(std::move(unified)) {}

void FileDiffDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DIFF_LINES, m_lines);
}

BOOL FileDiffDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetWindowTextA(m_hWnd, ("Diff - " + m_strTitle).c_str());
    m_lines.Show(DiffViewRules::Lines(m_strUnified));
    return TRUE;
}

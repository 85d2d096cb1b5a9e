#include "ui/text/FormatHelpDialog.h"

#include <cstdio>
#include <cstring>

#include "base/StdioFile.h"
#include "framework/CDataExchange.h"
#include "resources/resource.h"

namespace {

constexpr const char* kHelpFolder = "./help/";
constexpr COLORREF kPageBack = RGB(135, 206, 235);
constexpr COLORREF kPageText = RGB(0, 0, 0);

}  // namespace

BEGIN_MESSAGE_MAP(FormatHelpDialog, CDialog)
ON_MESSAGE(WM_LBUTTONDOWN, &FormatHelpDialog::OnLButtonDown)
END_MESSAGE_MAP()

FormatHelpDialog::FormatHelpDialog(CWnd* parent) : CDialog(IDD_FORMAT_HELP, parent), m_szPath{} {}

void FormatHelpDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HELP_TEXT, m_editHelp);
}

std::string FormatHelpDialog::ShownPagePath(const char* fileName) {
    return std::string("help\\hlp_") + (fileName != nullptr ? fileName : "");
}

bool FormatHelpDialog::FindHelpPage(const char* fileName) {
    std::snprintf(m_szPath, sizeof m_szPath, "%shlp_%s", kHelpFolder, fileName);
    if (StdioFile(m_szPath, "rb").IsOpen()) {
        return true;
    }
    std::memset(m_szPath, 0, sizeof m_szPath);
    return false;
}

BOOL FormatHelpDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editHelp.SetBackColor(kPageBack);
    m_editHelp.SetForeColor(kPageText);
    m_editHelp.LoadTextFile(m_szPath);
    m_editHelp.SetSel(-1, 0);  // no selection, the caret scrolled into view
    m_editHelp.SetFocus();
    return FALSE;  // the focus is set
}

LRESULT FormatHelpDialog::OnLButtonDown(WPARAM, LPARAM) {
    return Default();
}

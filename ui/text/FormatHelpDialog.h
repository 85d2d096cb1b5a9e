#pragma once
// The help page of the selected file, read-only in black on sky blue: the plain
// text file "./help/hlp_NAME". Nothing is shown when the page does not exist.
#include <string>

#include "framework/CDialog.h"
#include "ui/text/ColorEdit.h"

class FormatHelpDialog : public CDialog {
public:
    static constexpr size_t kPathSize = 256;

    explicit FormatHelpDialog(CWnd* parent = nullptr);

    // Builds the page's path from the file name; true when the page opens.
    // Otherwise the path is emptied.
    bool FindHelpPage(const char* fileName);
    // The help page of `fileName` as a message names it: help\hlp_NAME.
    static std::string ShownPagePath(const char* fileName);
    BOOL OnInitDialog() override;

    const char* Path() const { return m_szPath; }

    ColorEdit m_editHelp;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);

private:
    char m_szPath[kPathSize];
};

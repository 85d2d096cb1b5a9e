#pragma once
// The diff window of the backups dialog: one changed text file as a unified
// diff, read-only, modal over the backups dialog, its caption naming the file
// and what it is set beside.
#include <string>

#include "framework/CDialog.h"
#include "ui/main/DiffLineList.h"

class FileDiffDialog : public CDialog {
public:
    FileDiffDialog(CWnd* parent, std::string title, std::string unified);

    DiffLineList m_lines;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    std::string m_strTitle;
    std::string m_strUnified;
};

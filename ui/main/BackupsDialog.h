#pragma once
// The backups dialog of the main window's system menu, modal over the main
// window and placed where it is told (below the log console): the backups found in the backup
// folder under the working directory, newest first (BackupShelf decides what
// each row shows), and a list for the files of a backup. Backing up,
// comparing and restoring are not wired to it yet: their buttons stay
// disabled, as the template makes them.
#include "framework/CDialog.h"
#include "framework/CListCtrl.h"
#include "framework/CProgressCtrl.h"

class BackupsDialog : public CDialog {
public:
    // `topLeft`: where the dialog goes, in screen coordinates.
    BackupsDialog(CWnd* parent, POINT topLeft);

    CListCtrl m_listBackups;
    CListCtrl m_listFiles;
    CProgressCtrl m_progress;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    void ShowBackups();

    POINT m_ptTopLeft;
};

#pragma once
// The backups dialog of the main window's system menu, modal over the main
// window and placed where it is told (below the log console): the backups
// found in the backup folder under the working directory, newest first, and
// the files of the one selected (BackupShelf decides what each row shows).
// Backing up, comparing and restoring are not wired to it yet: their buttons
// stay disabled, as the template makes them.
#include <vector>

#include "framework/CDialog.h"
#include "framework/CListCtrl.h"
#include "framework/CProgressCtrl.h"
#include "ui/main/BackupShelf.h"

class BackupsDialog : public CDialog {
public:
    // `topLeft`: where the dialog goes, in screen coordinates.
    BackupsDialog(CWnd* parent, POINT topLeft);

    CListCtrl m_listBackups;
    CListCtrl m_listFiles;
    CProgressCtrl m_progress;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnBackupChanged(NMHDR* header, LRESULT* result);

private:
    void ShowBackups();
    void ShowFiles(const BackupRow& backup);

    POINT m_ptTopLeft;
    std::vector<BackupRow> m_rows;  // as the backup list shows them
};

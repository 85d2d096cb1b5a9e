#pragma once
// The backups dialog of the main window's system menu, modal over the main
// window and placed where it is told (below the log console): the backups
// found in the backup folder under the working directory, newest first, the
// files of the one selected with each file's state, and Back up now, Compare
// and Restore... through the main window's session. BackupsFlow decides and
// works with the box; the dialog shows and asks. An operation holds the
// window's thread, as every transfer does: what changes is painted as it
// goes, at the pace of a PaintPacer.
#include <vector>

#include "framework/CDialog.h"
#include "framework/CListCtrl.h"
#include "framework/CProgressCtrl.h"
#include "ui/main/BackupsFlow.h"
#include "ui/main/BoxWorkHost.h"
#include "ui/main/PaintPacer.h"
#include "ui/main/ReportRows.h"

class BackupsDialog : public CDialog, private BackupsProgress {
public:
    // `topLeft`: where the dialog goes, in screen coordinates. `host`, the
    // main window, is told when each operation starts and ends.
    BackupsDialog(CWnd* parent, POINT topLeft, BackupsFlow& flow, BoxWorkHost& host);

    // The session's transfer percentage, passed on by the main window.
    void TransferPercent(int percent) { m_flow.TransferPercent(percent); }

    CListCtrl m_listBackups;
    CListCtrl m_listFiles;
    CProgressCtrl m_progress;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnBackupChanged(NMHDR* header, LRESULT* result);
    void OnBackUpNow();
    void OnCompare();
    void OnRestore();

private:
    void OverallChanged(int percent) override;
    void FileRowChanged(int row) override;

    void ShowBackups();
    void ShowFiles();
    void ShowFileRow(int row);
    // Buttons off while an operation runs; back as the flow says after it.
    void SetBusy(bool busy);
    // The end of an operation: its status, the main window's turn, the buttons.
    void SetNotBusy();
    void ShowStatus();
    // Shows the bar and the changed rows of the files list and paints them,
    // with `now` or when the last paint is a moment ago.
    void PaintIfDue(bool now);

    POINT m_ptTopLeft;
    BackupsFlow& m_flow;      // not owned
    BoxWorkHost& m_host;      // not owned
    ReportRows m_backupRows;  // what m_listBackups shows
    ReportRows m_fileRows;    // what m_listFiles shows
    PaintPacer m_pacer;
    int m_nOverall = 0;              // the bar's position, shown when the pacer says
    std::vector<int> m_changedRows;  // rows of the files list not shown as they are
};

#pragma once
// The backups dialog of the main window's system menu, modal over the main
// window and placed where it is told (below the log console): the backups
// found in the backup folder under the working directory, newest first, the
// files of the one selected with each file's state, and Back up now, Compare
// and Restore... through the main window's session. BackupsFlow decides and
// works with the box; the dialog shows and asks. An operation holds the
// window's thread, as every transfer does: what changes is painted at once.
#include <functional>

#include "framework/CDialog.h"
#include "framework/CListCtrl.h"
#include "framework/CProgressCtrl.h"
#include "ui/main/BackupsFlow.h"

class BackupsDialog : public CDialog, private BackupsProgress {
public:
    // `topLeft`: where the dialog goes, in screen coordinates. `afterBoxWork`
    // runs after each backup or restore, for the main window.
    BackupsDialog(CWnd* parent, POINT topLeft, BackupsFlow& flow,
                  std::function<void()> afterBoxWork);

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
    void ShowStatus();
    // Paints the bar and the files list now, or when the last paint is a moment ago.
    void PaintIfDue(bool now);

    POINT m_ptTopLeft;
    BackupsFlow& m_flow;  // not owned
    std::function<void()> m_afterBoxWork;
    DWORD m_nPaintedAt = 0;  // tick count of the last paint while busy
};

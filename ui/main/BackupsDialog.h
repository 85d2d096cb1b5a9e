#pragma once
// The backups dialog of the main window's system menu, modal over the main
// window and placed where it is told (below the log console): the backups
// found in the backup folder under the working directory, newest first, the
// files of the selected one with each file's state, and Back up now, Compare
// and Restore... through the main window's session; Diff (or a double-click
// on a file) shows a changed text file as a unified diff. BackupsFlow decides and
// works with the box; the dialog shows and asks. Update firmware... asks for
// the file and the groups to keep (UpdateFirmwareDialog), then runs the
// update (UpdateFlow), each step a row of the files list as it goes, and at
// the end what changed and what was put back; its Cancel stops between steps.
//
// An operation runs on a worker thread, so that both windows stay answering:
// the worker never touches a control; what it reports (the flow's progress,
// and the session's log lines and percentages, which reach it through the
// main window's sinks) goes into a mailbox that this dialog empties on its
// own thread. While it runs, Close is Cancel: the operation stops after the
// file under way; pressed again, the transfer under way is broken off by
// closing the link. Closing the dialog (or the main window) stops it and
// closes once it has ended.
#include <thread>  // std::jthread

#include "framework/CDialog.h"
#include "framework/CListCtrl.h"
#include "framework/CProgressCtrl.h"
#include "ui/flow/BackupsFlow.h"
#include "ui/flow/PostedProgress.h"
#include "ui/flow/UpdateFlow.h"
#include "ui/main/BoxWorkHost.h"
#include "ui/main/ReportRows.h"
#include "ui/main/WorkerClient.h"
#include "ui/main/WorkerRoom.h"

class BackupsDialog : public CDialog,
                      public WorkerClient,
                      private BackupsProgress,
                      private UpdateProgress {
public:
    // `topLeft`: where the dialog goes, in screen coordinates. `host`, the
    // main window, is told when each operation starts and ends.
    BackupsDialog(CWnd* parent, POINT topLeft, BackupsFlow& flow, BoxWorkHost& host);
    ~BackupsDialog() override;

    // On the worker: the session's log line and transfer percentage, passed
    // on by the main window's sinks.
    void WorkerLogged(const char* text, int colorCode) override;
    void WorkerPercent(int percent) override;

    bool Busy() const { return m_worker.joinable(); }
    // Closes now, or, while an operation runs, asks it to stop and closes
    // once it has ended.
    void CloseWhenStopped() override;

    CListCtrl m_listBackups;
    CListCtrl m_listFiles;
    CProgressCtrl m_progress;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    LRESULT OnWorkerMail(WPARAM wParam, LPARAM lParam);
    LRESULT OnMailTimer(WPARAM timer, LPARAM lParam);
    void OnBackupChanged(NMHDR* header, LRESULT* result);
    void OnBackUpNow();
    void OnCompare();
    void OnRestore();
    void OnFileChanged(NMHDR* header, LRESULT* result);
    void OnFileDoubleClick(NMHDR* header, LRESULT* result);
    void OnDiff();
    void OnUpdateFirmware();

private:
    enum class Work {
        kNone,
        kBackUp,
        kCompare,
        kPrepareRestore,
        kRestore,
        kPrepareUpdate,
        kUpdate
    };

    // Starts `work` on the worker thread.
    void Start(Work work);
    // What the worker's flow reported, shown on this thread.
    void OverallChanged(int percent) override;
    void FileStarting(int index, int count, const std::string& name) override;
    void FileRowChanged(int row, const FileStateRow& file) override;
    // What the flow's progress left due once the batch that told it is taken:
    // the status, the bar and the row to scroll to, each shown once per batch,
    // since under Wine each costs a paint (the rows' paint waits for the last).
    void ShowWhatCame();
    // What the update reports on the worker, posted to this thread.
    void UpdateRowChanged(int row, const UpdateRow& text) override;
    void UpdateLineChanged(const std::string& line) override;
    // The listing before an update has ended: the choices asked; true when
    // the update was started.
    bool AskForUpdate();
    // The update (or the listing before it) has ended: the new backups
    // listed, the update's rows kept, its status shown.
    void UpdateDone(Work finished, bool windowStays);
    // The worker has ended: what the operation left shown, the next step
    // (`windowStays` false: none, the window is going).
    void WorkDone(bool windowStays);
    void ShowBackups();
    void ShowFiles();
    void ShowFileRow(int row, const FileStateRow& file);
    // The files list's label and columns: a backup's files, or an update's steps.
    void ShowFilesKind(bool updateSteps);
    // Buttons as the flow says; while busy only Cancel.
    void ShowButtons();
    void ShowStatus(const std::string& text);
    // In the console, once: the dialog closes while working; what stays, and `ending`.
    void SayClosedWhileWorking(const char* ending);
    // The one selected row of the files list, or -1.
    int SelectedFile() const;

    POINT m_ptTopLeft;
    BackupsFlow& m_flow;      // not owned
    BoxWorkHost& m_host;      // not owned
    ReportRows m_backupRows;  // what m_listBackups shows
    ReportRows m_fileRows;    // what m_listFiles shows
    WorkerRoom m_room;
    PostedProgress m_posted;
    Work m_work = Work::kNone;
    RestoreQuestion m_question;  // set by the worker of kPrepareRestore
    UpdateFlow m_update;
    bool m_bListed = false;  // set by the worker of kPrepareUpdate
    std::filesystem::path m_firmware;
    std::vector<std::string> m_keep;
    int m_nCancels = 0;             // Cancel presses during this operation
    std::string m_strStatusDue;     // the status a file's start left due; empty: none
    int m_nOverallDue = -1;         // the bar's position due; -1: none
    int m_nRowDue = -1;             // the last row changed, list not redrawn since; -1: none
    bool m_bCloseWhenDone = false;  // closing waits for the worker
    std::jthread m_worker;          // last: joined once it reports its end, or before the rest goes
};

#include "ui/main/BackupsDialog.h"

#include "framework/CDataExchange.h"
#include "resources/resource.h"
#include "ui/main/FileDiffDialog.h"
#include "ui/main/UpdateFirmwareDialog.h"

namespace {

constexpr ReportColumn kBackupColumns[] = {{"Taken", LVCFMT_LEFT, 42},
                                           {"Box", LVCFMT_LEFT, 26},
                                           {"Files", LVCFMT_RIGHT, 12},
                                           {"State", LVCFMT_LEFT, 18}};
constexpr ReportColumn kFileColumns[] = {{"Group", LVCFMT_LEFT, 24},
                                         {"Name", LVCFMT_LEFT, 36},
                                         {"Size", LVCFMT_RIGHT, 16},
                                         {"State", LVCFMT_LEFT, 22}};
// The files list while it shows an update's steps and then the files it changed.
constexpr ReportColumn kUpdateColumns[] = {{"Step/group", LVCFMT_LEFT, 16},
                                           {"Title/file", LVCFMT_LEFT, 20},
                                           {"", LVCFMT_RIGHT, 0},
                                           {"Outcome", LVCFMT_LEFT, 62}};
constexpr int kOperationButtons[] = {IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE,
                                     IDCANCEL, IDC_BACKUP_UPDATE};
constexpr const char* kFilesLabel = "Files of the selected backup:";
constexpr const char* kStepsLabel = "The firmware update, step by step, then the files it changed:";
// The caption of IDCANCEL: idle, while an operation runs, once it was asked to stop.
constexpr const char* kCloseCaption = "Close";
constexpr const char* kCancelCaption = "Cancel";
constexpr const char* kBreakOffCaption = "Break off";

}  // namespace

BEGIN_MESSAGE_MAP(BackupsDialog, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_BACKUP_LIST, &BackupsDialog::OnBackupChanged)
ON_COMMAND(IDC_BACKUP_NOW, BN_CLICKED, &BackupsDialog::OnBackUpNow)
ON_COMMAND(IDC_BACKUP_COMPARE, BN_CLICKED, &BackupsDialog::OnCompare)
ON_COMMAND(IDC_BACKUP_RESTORE, BN_CLICKED, &BackupsDialog::OnRestore)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_BACKUP_FILES, &BackupsDialog::OnFileChanged)
ON_NOTIFY(NM_DBLCLK, IDC_BACKUP_FILES, &BackupsDialog::OnFileDoubleClick)
ON_COMMAND(IDC_BACKUP_DIFF, BN_CLICKED, &BackupsDialog::OnDiff)
ON_COMMAND(IDC_BACKUP_UPDATE, BN_CLICKED, &BackupsDialog::OnUpdateFirmware)
ON_MESSAGE(WM_CLOSE, &BackupsDialog::OnClose)
ON_MESSAGE(WM_DESTROY, &BackupsDialog::OnDestroy)
ON_MESSAGE(WorkerRoom::kMail, &BackupsDialog::OnWorkerMail)
ON_MESSAGE(WM_TIMER, &BackupsDialog::OnMailTimer)
END_MESSAGE_MAP()

BackupsDialog::BackupsDialog(CWnd* parent, POINT topLeft, BackupsFlow& flow, BoxWorkHost& host)
    : CDialog(IDD_BACKUPS, parent),
      m_ptTopLeft(topLeft),
      m_flow(flow),
      m_host(host),
      m_backupRows(m_listBackups),
      m_fileRows(m_listFiles),
      m_room(host),
      m_posted(m_room.Mailbox(), *this),
      m_update(flow.Session(), flow.Root(), flow.Host(), flow.Password()) {}

BackupsDialog::~BackupsDialog() {
    // Normally ended when the window went; a worker must never outlive the dialog.
    if (m_worker.joinable()) {
        m_update.RequestStop();
        m_flow.BreakOff();
        m_worker.join();
    }
}

void BackupsDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BACKUP_LIST, m_listBackups);
    DDX_Control(dx, IDC_BACKUP_FILES, m_listFiles);
    DDX_Control(dx, IDC_BACKUP_PROGRESS, m_progress);
}

BOOL BackupsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_room.Attach(m_hWnd);
    ::SetWindowPos(m_hWnd, nullptr, m_ptTopLeft.x, m_ptTopLeft.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ReportRows::SetUpColumns(m_listBackups, kBackupColumns);
    ReportRows::SetUpColumns(m_listFiles, kFileColumns);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_flow.SetProgress(&m_posted);
    m_update.SetProgress(this);
    m_flow.ReadShelf();
    SetDlgItemText(IDC_BACKUP_LIST_LABEL, m_flow.Heading().c_str());
    ShowStatus(m_flow.Status());
    // The newest, whose files then show.
    m_flow.Select(0);
    ShowBackups();
    ShowButtons();
    return TRUE;
}

void BackupsDialog::WorkerLogged(const char* text, int colorCode) {
    m_room.Log(text, colorCode);
}

void BackupsDialog::WorkerPercent(int percent) {
    // The flow belongs to the worker while it runs.
    m_flow.TransferPercent(percent);
    m_room.Percent(percent);
}

void BackupsDialog::OverallChanged(int percent) {
    m_nOverallDue = percent;
}

void BackupsDialog::FileStarting(int index, int count, const std::string& name) {
    if (m_nCancels == 0) {
        m_strStatusDue =
            "File " + std::to_string(index) + " of " + std::to_string(count) + ": " + name;
    }
}

void BackupsDialog::FileRowChanged(int row, const FileStateRow& file) {
    if (m_nRowDue < 0) {
        m_listFiles.SendMessage(WM_SETREDRAW, FALSE);
    }
    ShowFileRow(row, file);
    m_nRowDue = row;
}

void BackupsDialog::ShowWhatCame() {
    if (m_nRowDue >= 0) {
        // Invalidates the list; it is painted once this thread is idle.
        m_listFiles.SendMessage(WM_SETREDRAW, TRUE);
        m_listFiles.EnsureVisible(m_nRowDue);
        m_nRowDue = -1;
    }
    if (!m_strStatusDue.empty()) {
        ShowStatus(m_strStatusDue);
        m_strStatusDue.clear();
    }
    if (m_nOverallDue >= 0) {
        m_progress.SetPos(m_nOverallDue);
        m_nOverallDue = -1;
    }
}

void BackupsDialog::UpdateRowChanged(int row, const UpdateRow& text) {
    m_room.Mailbox().Post(WorkerEvent::Call([this, row, text] {
        m_fileRows.Show(row, {text.step, text.title, "", text.state});
        m_listFiles.EnsureVisible(row);
    }));
}

void BackupsDialog::UpdateLineChanged(const std::string& line) {
    m_room.Mailbox().Post(WorkerEvent::Call([this, line] {
        if (m_nCancels == 0) {
            ShowStatus(line);
        }
    }));
}

void BackupsDialog::ShowBackups() {
    const std::vector<BackupRow>& rows = m_flow.Backups();
    for (int item = 0; item < static_cast<int>(rows.size()); ++item) {
        const BackupRow& row = rows[static_cast<size_t>(item)];
        m_backupRows.Show(item,
                          {row.TakenText(), row.name.box.host, row.FilesText(), row.StateText()});
    }
    m_backupRows.Keep(static_cast<int>(rows.size()));
    const int selected = m_flow.Selected();
    if (selected >= 0) {
        m_listBackups.SetItemState(selected, LVIS_SELECTED | LVIS_FOCUSED,
                                   LVIS_SELECTED | LVIS_FOCUSED);
        m_listBackups.EnsureVisible(selected);
    }
    ShowFiles();
}

void BackupsDialog::ShowFileRow(int row, const FileStateRow& file) {
    m_fileRows.Show(row, {file.group, file.name, file.sizeText, file.state});
}

void BackupsDialog::ShowFiles() {
    const std::vector<FileStateRow>& files = m_flow.Files();
    for (int row = 0; row < static_cast<int>(files.size()); ++row) {
        ShowFileRow(row, files[static_cast<size_t>(row)]);
    }
    m_fileRows.Keep(static_cast<int>(files.size()));
}

void BackupsDialog::OnBackupChanged(NMHDR* header, LRESULT*) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const bool selected = (change->uChanged & LVIF_STATE) != 0 &&
                          (change->uNewState & LVIS_SELECTED) != 0 &&
                          (change->uOldState & LVIS_SELECTED) == 0;
    // The flow's own selection, shown again, keeps the states it has; while
    // the worker has the flow, the list stays as it is.
    if (selected && m_work == Work::kNone && change->iItem != m_flow.Selected()) {
        ShowFilesKind(false);
        m_flow.Select(change->iItem);
        ShowFiles();
        ShowButtons();
    }
}

void BackupsDialog::ShowButtons() {
    const BackupsButtons buttons = m_flow.Buttons(m_work != Work::kNone);
    const bool enable[] = {buttons.backUpNow, buttons.compare, buttons.restore, buttons.close,
                           buttons.update};
    for (size_t i = 0; i < std::size(kOperationButtons); ++i) {
        ::EnableWindow(GetDlgItem(kOperationButtons[i]), enable[i] ? TRUE : FALSE);
    }
    // An update is never broken off: it stops between its steps.
    const bool updating = m_work == Work::kPrepareUpdate || m_work == Work::kUpdate;
    const char* caption = m_work == Work::kNone         ? kCloseCaption
                          : m_nCancels == 0 || updating ? kCancelCaption
                                                        : kBreakOffCaption;
    SetDlgItemText(IDCANCEL, caption);
    // The diff is made on this thread from what the flow holds: never while
    // the worker has the flow.
    const bool diff =
        m_work == Work::kNone && m_flow.DiffSourceOf(SelectedFile()) != DiffSource::kNone;
    ::EnableWindow(GetDlgItem(IDC_BACKUP_DIFF), diff ? TRUE : FALSE);
}

int BackupsDialog::SelectedFile() const {
    if (m_listFiles.SendMessage(LVM_GETSELECTEDCOUNT) != 1) {
        return -1;
    }
    return static_cast<int>(
        m_listFiles.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void BackupsDialog::OnFileChanged(NMHDR* header, LRESULT*) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) != 0 &&
        ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) != 0) {
        ShowButtons();
    }
}

void BackupsDialog::OnFileDoubleClick(NMHDR*, LRESULT*) {
    if (::IsWindowEnabled(GetDlgItem(IDC_BACKUP_DIFF))) {
        OnDiff();
    }
}

void BackupsDialog::OnDiff() {
    if (m_work != Work::kNone) {
        return;
    }
    const ShownDiff diff = m_flow.DiffOf(SelectedFile());
    if (!diff.shown) {
        ShowStatus(diff.why);
        return;
    }
    FileDiffDialog view(this, diff.title, diff.unified);
    view.DoModal();
}

void BackupsDialog::ShowStatus(const std::string& text) {
    SetDlgItemText(IDC_BACKUP_STATUS, text.c_str());
}

void BackupsDialog::Start(Work work) {
    if (m_work == Work::kNone) {
        m_nCancels = 0;
        m_host.BoxWorkStarting();
    }
    m_work = work;
    ShowButtons();
    m_flow.WorkStarting();
    m_update.WorkStarting();
    m_room.Starting();
    if (work == Work::kBackUp || work == Work::kUpdate) {
        // The files list fills as the files are saved, or with the update's steps.
        ShowFilesKind(work == Work::kUpdate);
        m_flow.Select(-1);
        ShowFiles();
        m_progress.SetPos(0);
    }
    m_worker = std::jthread([this, work] {
        switch (work) {
            case Work::kBackUp:
                m_flow.BackUp();
                break;
            case Work::kCompare:
                m_flow.Compare();
                break;
            case Work::kPrepareRestore:
                m_question = m_flow.PrepareRestore();
                break;
            case Work::kRestore:
                m_flow.Restore();
                break;
            case Work::kPrepareUpdate:
                m_bListed = m_update.ListBox();
                break;
            case Work::kUpdate:
                m_update.Run(m_firmware, m_keep);
                break;
            case Work::kNone:
                break;
        }
        m_room.Ended();
    });
}

void BackupsDialog::OnBackUpNow() {
    Start(Work::kBackUp);
}

void BackupsDialog::OnCompare() {
    Start(Work::kCompare);
}

void BackupsDialog::OnRestore() {
    Start(Work::kPrepareRestore);
}

void BackupsDialog::OnUpdateFirmware() {
    if (m_work == Work::kNone) {
        Start(Work::kPrepareUpdate);
    }
}

void BackupsDialog::OnCancel() {
    if (m_work == Work::kNone) {
        CDialog::OnCancel();
        return;
    }
    if (m_work == Work::kPrepareUpdate || m_work == Work::kUpdate) {
        ++m_nCancels;
        m_update.RequestStop();
        ShowStatus(m_update.CanStopNow()
                       ? "Stopping the update..."
                       : "The update stops once the step under way has ended: no backup is left "
                         "half made, no file half sent.");
        ShowButtons();
        return;
    }
    // First a stop between files; pressed again, the transfer under way goes too.
    if (m_nCancels++ == 0) {
        m_flow.RequestStop();
        ShowStatus("Stopping after the file under way... Break off stops it now.");
    } else {
        m_flow.BreakOff();
        ShowStatus("Breaking off the transfer under way...");
    }
    ShowButtons();
}

void BackupsDialog::SayClosedWhileWorking(const char* ending) {
    if (m_bCloseWhenDone) {
        return;  // said once
    }
    const char* kept = "";
    switch (m_work) {
        case Work::kBackUp:
            kept =
                "during the backup: the files saved so far stay in its folder, which is "
                "marked INCOMPLETE";
            break;
        case Work::kCompare:
            kept = "during the compare: nothing was changed";
            break;
        case Work::kPrepareRestore:
            kept = "before the restore sent anything: nothing is sent";
            break;
        case Work::kRestore:
            kept = "during the restore: the files sent so far stay sent";
            break;
        case Work::kPrepareUpdate:
            kept = "before the update sent anything: nothing is sent";
            break;
        case Work::kUpdate:
            kept = "during the firmware update: the steps done so far stay done";
            break;
        case Work::kNone:
            return;
    }
    m_host.BoxWorkLogged(
        std::string("\nPC > Backups dialog closed ") + kept + "; " + ending + ".\n", 0);
    m_host.ShowBoxWork();
}

void BackupsDialog::CloseWhenStopped() {
    if (m_work == Work::kNone) {
        EndDialog(IDCANCEL);
        return;
    }
    SayClosedWhileWorking(m_work == Work::kUpdate ? "it stops once the step under way has ended"
                                                  : "it stops after the file under way");
    m_bCloseWhenDone = true;
    if (m_nCancels == 0) {
        OnCancel();
    }
}

LRESULT BackupsDialog::OnClose(WPARAM, LPARAM) {
    CloseWhenStopped();
    return 0;
}

void BackupsDialog::OnDestroy() {
    // Closed from outside while working: the transfer is broken off at once
    // (the worker only posts, so it ends without this thread's help), and
    // what it reported still reaches the console.
    if (m_worker.joinable()) {
        SayClosedWhileWorking("the transfer under way is broken off");
        m_bCloseWhenDone = true;
        m_update.RequestStop();
        m_flow.BreakOff();
        m_worker.join();
        m_room.ShowNow();
        ShowWhatCame();
        WorkDone(false);
    }
    Default();
}

LRESULT BackupsDialog::OnWorkerMail(WPARAM, LPARAM) {
    const bool done = m_room.OnMail();
    ShowWhatCame();
    if (done) {
        WorkDone(true);
    }
    return 0;
}

LRESULT BackupsDialog::OnMailTimer(WPARAM timer, LPARAM) {
    if (timer != WorkerRoom::kTimer) {
        return Default();
    }
    const bool done = m_room.OnTimer();
    ShowWhatCame();
    if (done) {
        WorkDone(true);
    }
    return 0;
}

void BackupsDialog::WorkDone(bool windowStays) {
    if (m_worker.joinable()) {
        m_worker.join();  // it has posted its end: it returns at once
    }
    const Work finished = m_work;
    if (finished == Work::kPrepareUpdate || finished == Work::kUpdate) {
        if (finished == Work::kPrepareUpdate && m_bListed && windowStays && !m_bCloseWhenDone &&
            !m_update.StopAsked() && AskForUpdate()) {
            return;
        }
        UpdateDone(finished, windowStays);
        return;
    }
    if (finished == Work::kBackUp) {
        ShowBackups();
    } else {
        ShowFiles();
    }
    if (finished == Work::kPrepareRestore && m_question.ask && windowStays && !m_bCloseWhenDone &&
        !m_flow.StopAsked()) {
        const int answer = ::MessageBoxA(m_hWnd, m_question.text.c_str(), "Restore",
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        if (answer == IDYES && !m_bCloseWhenDone) {
            Start(Work::kRestore);
            return;
        }
    }
    if (finished == Work::kPrepareRestore && m_question.ask) {
        m_flow.CancelRestore();
    }
    m_work = Work::kNone;
    ShowStatus(m_flow.Status());
    m_host.AfterBoxWork();
    ShowButtons();
    if (m_bCloseWhenDone && windowStays) {
        EndDialog(IDCANCEL);
    }
}

bool BackupsDialog::AskForUpdate() {
    UpdateFirmwareDialog choose(this, m_update.Groups());
    if (choose.DoModal() != IDOK || m_bCloseWhenDone) {
        return false;
    }
    m_firmware = choose.Firmware();
    m_keep = choose.Kept();
    Start(Work::kUpdate);
    return true;
}

void BackupsDialog::UpdateDone(Work finished, bool windowStays) {
    std::string status = m_update.Status();
    if (finished == Work::kUpdate) {
        // The backups it made listed, none selected: the files list keeps its rows.
        m_flow.ReadShelf();
        ShowBackups();
        const std::vector<UpdateRow>& rows = m_update.Rows();
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            const UpdateRow& r = rows[static_cast<size_t>(row)];
            m_fileRows.Show(row, {r.step, r.title, "", r.state});
        }
        m_fileRows.Keep(static_cast<int>(rows.size()));
        m_progress.SetPos(m_update.Outcome().Succeeded() ? 100 : 0);
    } else if (m_bListed) {
        status = "Update cancelled: nothing was sent.";
        m_host.BoxWorkLogged("PC > " + status + "\n", 0);
    }
    m_work = Work::kNone;
    ShowStatus(status);
    m_host.AfterBoxWork();
    ShowButtons();
    if (m_bCloseWhenDone && windowStays) {
        EndDialog(IDCANCEL);
    }
}

void BackupsDialog::ShowFilesKind(bool updateSteps) {
    SetDlgItemText(IDC_BACKUP_FILES_LABEL, updateSteps ? kStepsLabel : kFilesLabel);
    if (updateSteps) {
        ReportRows::ReshapeColumns(m_listFiles, kUpdateColumns);
    } else {
        ReportRows::ReshapeColumns(m_listFiles, kFileColumns);
    }
}

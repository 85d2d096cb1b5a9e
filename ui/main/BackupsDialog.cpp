#include "ui/main/BackupsDialog.h"

#include <algorithm>
#include <span>

#include "framework/CDataExchange.h"
#include "resources/resource.h"

namespace {

struct Column {
    const char* heading;
    int format;
    int percent;  // of the list's width
};

constexpr Column kBackupColumns[] = {{"Taken", LVCFMT_LEFT, 42},
                                     {"Box", LVCFMT_LEFT, 26},
                                     {"Files", LVCFMT_RIGHT, 12},
                                     {"State", LVCFMT_LEFT, 18}};
constexpr Column kFileColumns[] = {{"Group", LVCFMT_LEFT, 24},
                                   {"Name", LVCFMT_LEFT, 36},
                                   {"Size", LVCFMT_RIGHT, 16},
                                   {"State", LVCFMT_LEFT, 22}};
constexpr int kFullPercent = 100;
constexpr int kOperationButtons[] = {IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE,
                                     IDCANCEL};

void SetUpColumns(CListCtrl& list, std::span<const Column> columns) {
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    RECT client;
    list.GetClientRect(&client);
    for (size_t i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        list.InsertColumn(static_cast<int>(i), c.heading, c.format,
                          (client.right - client.left) * c.percent / 100);
    }
}

// Clicks and keys that came while the thread was busy are dropped: they were
// aimed at a dialog whose buttons were off.
void DropInputMadeMeanwhile(HWND dialog) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
           ::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

BEGIN_MESSAGE_MAP(BackupsDialog, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_BACKUP_LIST, &BackupsDialog::OnBackupChanged)
ON_COMMAND(IDC_BACKUP_NOW, BN_CLICKED, &BackupsDialog::OnBackUpNow)
ON_COMMAND(IDC_BACKUP_COMPARE, BN_CLICKED, &BackupsDialog::OnCompare)
ON_COMMAND(IDC_BACKUP_RESTORE, BN_CLICKED, &BackupsDialog::OnRestore)
END_MESSAGE_MAP()

BackupsDialog::BackupsDialog(CWnd* parent, POINT topLeft, BackupsFlow& flow, BoxWorkHost& host)
    : CDialog(IDD_BACKUPS, parent),
      m_ptTopLeft(topLeft),
      m_flow(flow),
      m_host(host),
      m_backupRows(m_listBackups),
      m_fileRows(m_listFiles) {}

void BackupsDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BACKUP_LIST, m_listBackups);
    DDX_Control(dx, IDC_BACKUP_FILES, m_listFiles);
    DDX_Control(dx, IDC_BACKUP_PROGRESS, m_progress);
}

BOOL BackupsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetWindowPos(m_hWnd, nullptr, m_ptTopLeft.x, m_ptTopLeft.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetUpColumns(m_listBackups, kBackupColumns);
    SetUpColumns(m_listFiles, kFileColumns);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_flow.SetProgress(this);
    m_flow.ReadShelf();
    // The newest, whose files then show.
    m_flow.Select(0);
    ShowBackups();
    SetBusy(false);
    return TRUE;
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

void BackupsDialog::ShowFileRow(int row) {
    const FileStateRow& file = m_flow.Files()[static_cast<size_t>(row)];
    m_fileRows.Show(row, {file.group, file.name, file.sizeText, file.state});
}

void BackupsDialog::ShowFiles() {
    m_changedRows.clear();
    for (int row = 0; row < static_cast<int>(m_flow.Files().size()); ++row) {
        ShowFileRow(row);
    }
    m_fileRows.Keep(static_cast<int>(m_flow.Files().size()));
}

void BackupsDialog::OnBackupChanged(NMHDR* header, LRESULT*) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const bool selected = (change->uChanged & LVIF_STATE) != 0 &&
                          (change->uNewState & LVIS_SELECTED) != 0 &&
                          (change->uOldState & LVIS_SELECTED) == 0;
    // The flow's own selection, shown again, keeps the states it has.
    if (selected && change->iItem != m_flow.Selected()) {
        m_flow.Select(change->iItem);
        ShowFiles();
        SetBusy(false);
    }
}

void BackupsDialog::OverallChanged(int percent) {
    m_nOverall = percent;
    PaintIfDue(percent == kFullPercent);
}

void BackupsDialog::FileRowChanged(int row) {
    m_changedRows.push_back(row);
    PaintIfDue(false);
}

void BackupsDialog::PaintIfDue(bool now) {
    if (!m_pacer.Due(::GetTickCount(), now)) {
        return;
    }
    m_progress.SetPos(m_nOverall);
    // The rows in order, so that new ones are added below the others; a row
    // the flow no longer has (it read the files again) is shown by ShowFiles.
    std::sort(m_changedRows.begin(), m_changedRows.end());
    const int rows = static_cast<int>(m_flow.Files().size());
    int last = -1;
    for (const int row : m_changedRows) {
        if (row < rows) {
            ShowFileRow(row);
            last = row;
        }
    }
    if (last >= 0) {
        m_listFiles.EnsureVisible(last);
    }
    m_changedRows.clear();
    m_progress.UpdateWindow();
    m_listFiles.UpdateWindow();
}

void BackupsDialog::SetBusy(bool busy) {
    if (!busy) {
        DropInputMadeMeanwhile(m_hWnd);
    }
    const BackupsButtons buttons = m_flow.Buttons(busy);
    const bool enable[] = {buttons.backUpNow, buttons.compare, buttons.restore, buttons.close};
    for (size_t i = 0; i < std::size(kOperationButtons); ++i) {
        ::EnableWindow(GetDlgItem(kOperationButtons[i]), enable[i] ? TRUE : FALSE);
    }
    if (busy) {
        m_host.HoldConsole(true);
        UpdateWindow();
    }
}

void BackupsDialog::ShowStatus() {
    SetDlgItemText(IDC_BACKUP_STATUS, m_flow.Status().c_str());
}

void BackupsDialog::OnBackUpNow() {
    SetBusy(true);
    m_flow.BackUp();
    ShowBackups();
    SetNotBusy();
}

void BackupsDialog::OnCompare() {
    SetBusy(true);
    m_flow.Compare();
    SetNotBusy();
}

void BackupsDialog::OnRestore() {
    SetBusy(true);
    const RestoreQuestion question = m_flow.PrepareRestore();
    if (question.ask) {
        // The compare's lines in the console before the question.
        m_host.HoldConsole(false);
        const int answer = ::MessageBoxA(m_hWnd, question.text.c_str(), "Restore",
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        // What the message box covered, painted before the thread is busy again.
        ::RedrawWindow(GetParentHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        UpdateWindow();
        m_host.HoldConsole(true);
        if (answer == IDYES) {
            m_flow.Restore();
        } else {
            m_flow.CancelRestore();
        }
    }
    SetNotBusy();
}

void BackupsDialog::SetNotBusy() {
    ShowStatus();
    m_host.HoldConsole(false);
    m_host.AfterBoxWork();
    SetBusy(false);
}

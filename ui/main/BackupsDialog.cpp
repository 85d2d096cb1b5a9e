#include "ui/main/BackupsDialog.h"

#include <span>

#include <filesystem>
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

}  // namespace

BEGIN_MESSAGE_MAP(BackupsDialog, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_BACKUP_LIST, &BackupsDialog::OnBackupChanged)
END_MESSAGE_MAP()

BackupsDialog::BackupsDialog(CWnd* parent, POINT topLeft)
    : CDialog(IDD_BACKUPS, parent), m_ptTopLeft(topLeft) {}

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
    ShowBackups();
    return TRUE;
}

void BackupsDialog::ShowBackups() {
    m_listBackups.DeleteAllItems();
    m_rows = BackupShelf::List(BackupShelf::kFolder);
    for (int item = 0; item < static_cast<int>(m_rows.size()); ++item) {
        const BackupRow& row = m_rows[static_cast<size_t>(item)];
        m_listBackups.InsertItem(item, row.TakenText().c_str());
        m_listBackups.SetItemText(item, 1, row.name.host.c_str());
        m_listBackups.SetItemText(item, 2, row.FilesText().c_str());
        m_listBackups.SetItemText(item, 3, row.StateText().c_str());
    }
    if (!m_rows.empty()) {
        // The newest, whose files then show.
        m_listBackups.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void BackupsDialog::ShowFiles(const BackupRow& backup) {
    m_listFiles.DeleteAllItems();
    const std::vector<BackupFileRow> files =
        BackupShelf::Files(std::filesystem::path(BackupShelf::kFolder) / backup.folder);
    for (int item = 0; item < static_cast<int>(files.size()); ++item) {
        const BackupFileRow& file = files[static_cast<size_t>(item)];
        m_listFiles.InsertItem(item, file.group.c_str());
        m_listFiles.SetItemText(item, 1, file.name.c_str());
        m_listFiles.SetItemText(item, 2, file.sizeText.c_str());
    }
}

void BackupsDialog::OnBackupChanged(NMHDR* header, LRESULT*) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const bool selected = (change->uChanged & LVIF_STATE) != 0 &&
                          (change->uNewState & LVIS_SELECTED) != 0 &&
                          (change->uOldState & LVIS_SELECTED) == 0;
    if (selected && change->iItem >= 0 && change->iItem < static_cast<int>(m_rows.size())) {
        ShowFiles(m_rows[static_cast<size_t>(change->iItem)]);
    }
}

#include "ui/main/BackupsDialog.h"

#include <span>

#include "framework/CDataExchange.h"
#include "resources/resource.h"
#include "ui/main/BackupShelf.h"

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
    int item = 0;
    for (const BackupRow& row : BackupShelf::List(BackupShelf::kFolder)) {
        m_listBackups.InsertItem(item, row.TakenText().c_str());
        m_listBackups.SetItemText(item, 1, row.name.host.c_str());
        m_listBackups.SetItemText(item, 2, row.FilesText().c_str());
        m_listBackups.SetItemText(item, 3, row.StateText().c_str());
        ++item;
    }
}

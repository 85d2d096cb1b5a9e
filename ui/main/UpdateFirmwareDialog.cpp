#include "ui/main/UpdateFirmwareDialog.h"

#include <commdlg.h>

#include "framework/CDataExchange.h"
#include "resources/resource.h"
#include "ui/flow/UpdateFlow.h"

namespace {

// Long enough for any path the open-file dialog gives back.
constexpr DWORD kPathChars = 32768;

}  // namespace

BEGIN_MESSAGE_MAP(UpdateFirmwareDialog, CDialog)
ON_COMMAND(IDC_UPDATE_BROWSE, BN_CLICKED, &UpdateFirmwareDialog::OnBrowse)
ON_COMMAND(IDC_UPDATE_FILE, EN_CHANGE, &UpdateFirmwareDialog::OnFileChanged)
END_MESSAGE_MAP()

UpdateFirmwareDialog::UpdateFirmwareDialog(CWnd* parent, std::vector<std::string> groups)
    : CDialog(IDD_UPDATE_FIRMWARE, parent), m_groups(std::move(groups)) {}

void UpdateFirmwareDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_UPDATE_GROUPS, m_listGroups);
}

BOOL UpdateFirmwareDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_listGroups.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    ::GetClientRect(m_listGroups.GetSafeHwnd(), &client);
    m_listGroups.InsertColumn(0, "Group", LVCFMT_LEFT, client.right - client.left);
    for (int row = 0; row < static_cast<int>(m_groups.size()); ++row) {
        m_listGroups.InsertItem(row, m_groups[static_cast<size_t>(row)].c_str());
    }
    OnFileChanged();
    ::SetFocus(GetDlgItem(IDC_UPDATE_FILE));
    return FALSE;
}

std::filesystem::path UpdateFirmwareDialog::TypedFile() const {
    std::wstring text(kPathChars, L'\0');
    text.resize(static_cast<size_t>(
        ::GetWindowTextW(GetDlgItem(IDC_UPDATE_FILE), text.data(), static_cast<int>(kPathChars))));
    return text;
}

void UpdateFirmwareDialog::OnFileChanged() {
    ::EnableWindow(GetDlgItem(IDOK), TypedFile().empty() ? FALSE : TRUE);
}

void UpdateFirmwareDialog::OnBrowse() {
    std::wstring path(kPathChars, L'\0');
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = m_hWnd;
    open.lpstrFilter = L"Firmware files (*.pkg, *.bin, *.img)\0*.pkg;*.bin;*.img\0All files\0*.*\0";
    open.lpstrFile = path.data();
    open.nMaxFile = kPathChars;
    open.lpstrTitle = L"Choose the firmware file";
    // Only read: the file is never changed, and the working folder stays.
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (::GetOpenFileNameW(&open)) {
        ::SetWindowTextW(GetDlgItem(IDC_UPDATE_FILE), path.c_str());
    }
}

void UpdateFirmwareDialog::OnOK() {
    const std::filesystem::path file = TypedFile();
    if (file.empty()) {
        return;
    }
    std::vector<std::string> kept;
    for (int row = 0; row < static_cast<int>(m_groups.size()); ++row) {
        const UINT state = static_cast<UINT>(m_listGroups.SendMessage(
            LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
        // The second state image is the ticked box.
        if ((state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)) {
            kept.push_back(m_groups[static_cast<size_t>(row)]);
        }
    }
    std::error_code failed;  // no exception crosses the dialog's procedure
    std::filesystem::path firmware = std::filesystem::absolute(file, failed);
    if (failed) {
        firmware = file;
    }
    const std::string question = UpdateFlow::Confirmation(firmware, kept);
    if (::MessageBoxA(m_hWnd, question.c_str(), kQuestionTitle,
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    m_firmware = firmware;
    m_kept = kept;
    EndDialog(IDOK);
}

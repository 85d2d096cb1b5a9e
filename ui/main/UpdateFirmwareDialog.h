#pragma once
// The choices of a firmware update, modal over the backups dialog: the local
// firmware file (typed, or picked with the system's open-file dialog), the
// box's groups as tick boxes, those ticked kept (their changed files put back
// after the update), and the one question before anything is sent. It only
// asks: the backups dialog runs the update.
#include <filesystem>
#include <string>
#include <vector>

#include "framework/CDialog.h"
#include "framework/CListCtrl.h"

class UpdateFirmwareDialog : public CDialog {
public:
    // `groups`: those the box lists, in its order.
    UpdateFirmwareDialog(CWnd* parent, std::vector<std::string> groups);

    // Once it ended with IDOK: the file, and the groups ticked.
    const std::filesystem::path& Firmware() const { return m_firmware; }
    const std::vector<std::string>& Kept() const { return m_kept; }

    // The question's caption (the dialog's own is "Update firmware").
    static constexpr const char* kQuestionTitle = "Firmware update";

    CListCtrl m_listGroups;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnBrowse();
    void OnFileChanged();

private:
    std::filesystem::path TypedFile() const;

    std::vector<std::string> m_groups;
    std::filesystem::path m_firmware;
    std::vector<std::string> m_kept;
};

// The backups dialog's Update firmware... against a substitute box on
// 127.0.0.7 that updates on update.pkg, restarts and resets its Settings
// group: the choices asked, the one question, the steps as rows and the
// status at the end, with the kept group's changed file put back; and
// Cancel while the box is waited for.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "boxsim/DemoContent.h"
#include "tests/support/MessagePump.h"
#include "tests/ui_main/MainWindowFixture.h"
#include "tests/ui_main/ModalLoopDriver.h"
#include "ui/flow/UpdateFlow.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kAddress = "127.0.0.7";
constexpr const char* kUserConfig = "language=de\n";
// The box is tried again every 2 s after its restart: well within this.
constexpr int kUpdateMs = 60000;

// A box on 127.0.0.7 that updates on update.pkg, away for `restartMs` with
// its Settings group reset, and the firmware file on the PC.
std::unique_ptr<BoxSimulator> UpdatingBox(int restartMs) {
    std::string error;
    EXPECT_TRUE(MakeDemoFolder("updating", "manifest.txt", &error)) << error;
    WriteFile("updating/config.txt", kUserConfig);
    fs::create_directories("firmware");
    WriteFile("firmware/update.pkg", "firmware 2.0");
    BoxSimOptions options;
    options.folder = "updating";
    options.listenAddress = kAddress;
    options.port = 0;
    options.updateFile = "update.pkg";
    options.updateRestartMs = restartMs;
    options.updateResets = {"Settings"};
    auto box = std::make_unique<BoxSimulator>(options);
    EXPECT_TRUE(box->Start(&error)) << error;
    return box;
}

// Opens the backups dialog by its menu command, runs `script` in it and
// closes it (unless the script did).
void InBackups(HWND window, const std::function<void(HWND)>& script) {
    EXPECT_TRUE(InModalLoop(
        nullptr, "Backups", [window] { PostMessageA(window, WM_SYSCOMMAND, IDM_BACKUPS, 0); },
        [&script](HWND dialog) {
            script(dialog);
            if (IsWindow(dialog)) {
                SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            }
        }));
}

// Presses Update firmware... and, in the choices that come, runs `choose`;
// returns once the dialog is idle again (the update, if any, has ended) or gone.
// Meanwhile `during` (if any) is called again and again.
void PressUpdate(HWND dialog, const std::function<void(HWND)>& choose,
                 const std::function<void()>& during = {}) {
    EXPECT_TRUE(InModalLoop(
        nullptr, "Update firmware",
        [&] {
            SendMessageA(GetDlgItem(dialog, IDC_BACKUP_UPDATE), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitFor(
                [&] {
                    if (during) {
                        during();
                    }
                    return !IsWindow(dialog) || Text(GetDlgItem(dialog, IDCANCEL)) == "Close";
                },
                kUpdateMs));
            Pump();
        },
        choose));
}

// In the choices: ticks the groups' rows `ticked`, types the firmware file's
// path and presses Update, answering its question Yes; returns the question.
std::string Choose(HWND choose, const std::vector<int>& ticked) {
    const HWND list = GetDlgItem(choose, IDC_UPDATE_GROUPS);
    for (int row : ticked) {
        ListView_SetCheckState(list, row, TRUE);
    }
    SetWindowTextW(GetDlgItem(choose, IDC_UPDATE_FILE),
                   fs::absolute("firmware/update.pkg").wstring().c_str());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(choose, IDOK)));
    constexpr int kMessageBoxText = 0xFFFF;
    std::string question;
    EXPECT_TRUE(InModalLoop(
        "#32770", "Firmware update",
        [choose] { SendMessageA(GetDlgItem(choose, IDOK), BM_CLICK, 0, 0); },
        [&question](HWND asked) {
            question = Text(GetDlgItem(asked, kMessageBoxText));
            SendMessageA(GetDlgItem(asked, IDYES), BM_CLICK, 0, 0);
        }));
    return question;
}

// The rows of the backups dialog's files list without their empty size column.
std::vector<std::string> Rows(HWND dialog) {
    std::vector<std::string> rows;
    for (std::string row : ListRows(GetDlgItem(dialog, IDC_BACKUP_FILES))) {
        const size_t empty = row.find(" |  | ");
        rows.push_back(empty == std::string::npos ? row : row.replace(empty, 6, " | "));
    }
    return rows;
}

}  // namespace

TEST_F(MainWindowFlowTest, AFirmwareUpdateFromTheBackupsDialogPutsTheKeptGroupBack) {
    const std::unique_ptr<BoxSimulator> box = UpdatingBox(300);
    LogInTo(kAddress, box->Port());
    InBackups(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        const HWND status = GetDlgItem(dialog, IDC_BACKUP_STATUS);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BACKUP_UPDATE)));
        // Cancelled in the choices: nothing is asked, nothing sent.
        PressUpdate(dialog, [](HWND choose) {
            // Nothing to send before a file is named.
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(choose, IDOK)));
            SendMessageA(GetDlgItem(choose, IDCANCEL), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(Text(status), "Update cancelled: nothing was sent.");
        EXPECT_EQ(box->Stats().uploadsStored, 0);

        // The rows' and the status's words are the flow's (tested beside it);
        // here, that they reach the dialog, and its columns follow them.
        PressUpdate(dialog, [&](HWND choose) {
            EXPECT_EQ(Choose(choose, {0}),  // Settings
                      UpdateFlow::Confirmation(fs::absolute("firmware/update.pkg"), {"Settings"}));
        });
        EXPECT_EQ(Text(status).rfind("Firmware updated: the update changed 2 file(s); put back 1 "
                                     "file(s): config.txt",
                                     0),
                  0u)
            << Text(status);
        EXPECT_EQ(Rows(dialog).size(), 8u);
        const HWND files = GetDlgItem(dialog, IDC_BACKUP_FILES);
        EXPECT_EQ(ListHeadings(files),
                  (std::vector<std::string>{"Step/group", "Title/file", "", "Outcome"}));
        // The backups before and after it, listed; one selected shows its files again.
        const HWND backups = GetDlgItem(dialog, IDC_BACKUP_LIST);
        EXPECT_EQ(ListRows(backups).size(), 2u);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_BACKUP_PROGRESS), PBM_GETPOS, 0, 0), 100);
        LVITEMA select{};
        select.state = select.stateMask = LVIS_SELECTED;
        SendMessageA(backups, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
        EXPECT_EQ(ListHeadings(files),
                  (std::vector<std::string>{"Group", "Name", "Size", "State"}));
    });
    EXPECT_EQ(ReadFile("updating/config.txt"), kUserConfig);  // put back after the reset
    EXPECT_EQ(ReadFile("updating/update.pkg"), "firmware 2.0");
    // Logged in again after the restart, the window's link as it was.
    EXPECT_EQ(s_dialog->LinkState(), link_state::kLoggedIn);
    EXPECT_NE(Log().find("PC > Firmware updated: "), std::string::npos) << Log();
    Click(IDC_LOGIN);  // logout, before the box goes
    fs::remove_all("backup");
}

TEST_F(MainWindowFlowTest, CancelWhileTheBoxIsWaitedForStopsTheUpdateThere) {
    // Away longer than the test waits for it.
    const std::unique_ptr<BoxSimulator> box = UpdatingBox(20000);
    LogInTo(kAddress, box->Port());
    InBackups(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        const HWND status = GetDlgItem(dialog, IDC_BACKUP_STATUS);
        std::string seen;
        PressUpdate(
            dialog, [](HWND choose) { Choose(choose, {}); },
            [&] {
                if (seen.empty() && Text(status).rfind("Waiting for the box: ", 0) == 0) {
                    seen = Text(status);
                    SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                    // Between two tries: a stop takes effect at once, and the
                    // update is never broken off.
                    EXPECT_EQ(Text(status), "Stopping the update...");
                    EXPECT_EQ(Text(GetDlgItem(dialog, IDCANCEL)), "Cancel");
                }
            });
        EXPECT_FALSE(seen.empty());
        EXPECT_EQ(Text(status).rfind("Update stopped at the step wait for the box: the box holds "
                                     "the update and may be restarting",
                                     0),
                  0u)
            << Text(status);
        EXPECT_EQ(Rows(dialog).size(), 3u);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_BACKUP_PROGRESS), PBM_GETPOS, 0, 0), 0);
    });
    EXPECT_EQ(box->Stats().uploadsStored, 1);
    fs::remove_all("backup");
}

TEST_F(MainWindowFlowTest, ClosingTheBackupsDialogDuringAnUpdateWaitsForItsStop) {
    const std::unique_ptr<BoxSimulator> box = UpdatingBox(20000);
    LogInTo(kAddress, box->Port());
    InBackups(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        const HWND status = GetDlgItem(dialog, IDC_BACKUP_STATUS);
        bool closed = false;
        PressUpdate(
            dialog, [](HWND choose) { Choose(choose, {}); },
            [&] {
                if (!closed && IsWindow(dialog) &&
                    Text(status).rfind("Waiting for the box: ", 0) == 0) {
                    closed = true;
                    SendMessageA(dialog, WM_CLOSE, 0, 0);
                }
            });
        EXPECT_TRUE(closed);
        // Ended by itself once the update had stopped: hidden, to go when this returns.
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    // Gone once the update had stopped, without a press of its own.
    EXPECT_EQ(FindWindowA(nullptr, "Backups"), nullptr);
    EXPECT_NE(Log().find("PC > Backups dialog closed during the firmware update: the steps done so "
                         "far stay done; it stops once the step under way has ended.\r\n"),
              std::string::npos)
        << Log();
    EXPECT_NE(Log().find("PC > Update stopped at the step wait for the box: "), std::string::npos);
    EXPECT_EQ(box->Stats().uploadsStored, 1);
    fs::remove_all("backup");
}

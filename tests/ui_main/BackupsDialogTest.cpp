// The main window's backups dialog against the substitute box over loopback:
// opened from the system menu or by Ctrl+B, driven inside its modal loop.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "backup/BackupStore.h"
#include "tests/support/MessagePump.h"
#include "tests/support/UserInput.h"
#include "tests/ui_main/MainWindowFixture.h"
#include "tests/ui_main/ModalLoopDriver.h"
#include "ui/flow/DiffViewRules.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "Backups";

struct BackupsSeen {
    bool shown = false;
    bool ownerDisabled = false;          // modal over the main window
    bool consoleInView = false;          // neither the log console nor the bar covered
    bool statusHoldsThreeLines = false;  // above the bar, three lines of its font high
    std::string heading;
    std::vector<std::string> rows, fileColumns, newestFiles, olderFiles;
    std::vector<int> enabled;  // of Back up now, Compare, Restore... and Close
};
BackupsSeen g_backups;

// Reads the dialog, then presses Esc.
void LookAtBackups(HWND dialog) {
    g_backups.shown = true;
    const HWND owner = GetWindow(dialog, GW_OWNER);
    g_backups.ownerDisabled = owner != nullptr && !IsWindowEnabled(owner);
    RECT mine, console, bar, overlap;
    GetWindowRect(dialog, &mine);
    GetWindowRect(GetDlgItem(owner, IDC_LOG), &console);
    GetWindowRect(GetDlgItem(owner, IDC_PROGRESS), &bar);
    g_backups.consoleInView =
        !IntersectRect(&overlap, &mine, &console) && !IntersectRect(&overlap, &mine, &bar);
    const HWND list = GetDlgItem(dialog, IDC_BACKUP_LIST);
    const HWND files = GetDlgItem(dialog, IDC_BACKUP_FILES);
    RECT status, progress;
    GetWindowRect(GetDlgItem(dialog, IDC_BACKUP_STATUS), &status);
    GetWindowRect(GetDlgItem(dialog, IDC_BACKUP_PROGRESS), &progress);
    TEXTMETRICA metrics{};
    const HDC dc = GetDC(dialog);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(
                             GetDlgItem(dialog, IDC_BACKUP_STATUS), WM_GETFONT, 0, 0)));
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    g_backups.statusHoldsThreeLines =
        status.bottom <= progress.top && status.bottom - status.top >= 3 * metrics.tmHeight;
    g_backups.heading = Text(GetDlgItem(dialog, IDC_BACKUP_LIST_LABEL));
    g_backups.rows = ListRows(list);
    g_backups.fileColumns = ListHeadings(files);
    g_backups.newestFiles = ListRows(files);
    // The list's own selection change tells the dialog.
    LVITEMA select{};
    select.state = select.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
    g_backups.olderFiles = ListRows(files);
    for (int id : {IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE, IDCANCEL}) {
        if (IsWindowEnabled(GetDlgItem(dialog, id))) {
            g_backups.enabled.push_back(id);
        }
    }
    SendKey(VK_ESCAPE);
}

// Ctrl+B in the log console.
bool PressCtrlB(HWND window) {
    return OfferCtrlKey(GetDlgItem(window, IDC_LOG), 'B');
}

// The system menu's command, posted as the menu posts it (or Ctrl+B pressed);
// returns once Esc has closed the dialog it opens (if any).
void ChooseBackups(HWND window, bool byKey = false) {
    g_backups = {};
    InModalLoop(
        nullptr, kTitle,
        [&] {
            if (byKey) {
                EXPECT_TRUE(PressCtrlB(window));
            } else {
                PostMessageA(window, WM_SYSCOMMAND, IDM_BACKUPS, 0);
            }
        },
        LookAtBackups);
}

bool Greyed(HMENU menu) {
    return (GetMenuState(menu, IDM_BACKUPS, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

}  // namespace

TEST_F(MainWindowFlowTest, BackupsEntryFollowsTheLoginAndListsTheBackups) {
    const HWND window = s_dialog->GetSafeHwnd();
    const HMENU menu = GetSystemMenu(window, FALSE);
    // Below About: a separator, Find boxes, then the entry, the last, greyed
    // while logged out.
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 4);
    EXPECT_EQ(GetMenuItemID(menu, count - 4), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_NE(GetMenuState(menu, count - 3, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(GetMenuItemID(menu, count - 2), static_cast<UINT>(IDM_FIND_BOXES));
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_BACKUPS));
    char text[64] = {};
    GetMenuStringA(menu, IDM_BACKUPS, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Backups...\tCtrl+B");
    EXPECT_TRUE(Greyed(menu));
    ChooseBackups(window);  // only a program can: nothing opens
    EXPECT_FALSE(g_backups.shown);
    ChooseBackups(window, true);
    EXPECT_FALSE(g_backups.shown);

    const std::string older = "backup/127.0.0.1-20261208-144517/";
    const std::string newer = "backup/127.0.0.1-20261209-090000/";
    fs::create_directories(older);
    fs::create_directories(newer);
    WriteFile(older + "manifest.txt", "Settings config.txt 1\nChannels channels.db 2\n");
    WriteFile(older + "channels.db", std::string(2048, 'c'));
    // Complete: SHA256SUMS names every file (their sums are checked only on use).
    const std::string sum(64, '0');
    WriteFile(older + "SHA256SUMS",
              sum + "  config.txt\n" + sum + "  channels.db\n" + sum + "  manifest.txt\n");
    WriteFile(newer + "manifest.txt", "Settings config.txt 1\n");
    WriteFile(newer + "config.txt", "a=1\r\n");
    WriteFile(newer + "INCOMPLETE", "channels.db: lost\n");
    LogIn();
    EXPECT_FALSE(Greyed(menu));
    ChooseBackups(window);
    EXPECT_TRUE(g_backups.shown);
    EXPECT_TRUE(g_backups.ownerDisabled);
    EXPECT_TRUE(g_backups.consoleInView);
    EXPECT_TRUE(g_backups.statusHoldsThreeLines);
    EXPECT_EQ(g_backups.heading,
              "Backups of the box at 127.0.0.1, in backup\\ of the working folder:");
    EXPECT_EQ(g_backups.rows, (std::vector<std::string>{
                                  "2026-12-09 09:00:00 | 127.0.0.1 | 1 | incomplete",
                                  "2026-12-08 14:45:17 | 127.0.0.1 | 2 | complete",
                              }));
    EXPECT_EQ(g_backups.fileColumns, (std::vector<std::string>{"Group", "Name", "Size", "State"}));
    EXPECT_EQ(g_backups.newestFiles, (std::vector<std::string>{"Settings | config.txt | 5 | "}));
    EXPECT_EQ(g_backups.olderFiles,
              (std::vector<std::string>{"Settings | config.txt | ? | ",
                                        "Channels | channels.db | 2,048 | "}));
    // Logged in, with a backup whose manifest reads selected: everything.
    EXPECT_EQ(g_backups.enabled,
              (std::vector<int>{IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE, IDCANCEL}));
    EXPECT_EQ(FindWindowA(nullptr, kTitle), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window));
    ChooseBackups(window, true);
    EXPECT_TRUE(g_backups.shown);

    Click(IDC_LOGIN);  // logout
    EXPECT_TRUE(Greyed(menu));
    fs::remove_all("backup");
}

namespace {

// Each file of the backups dialog's files list as "name: state".
std::vector<std::string> FileStates(HWND dialog) {
    std::vector<std::string> states;
    for (const std::string& row : ListRows(GetDlgItem(dialog, IDC_BACKUP_FILES))) {
        const size_t name = row.find(" | ") + 3;
        const size_t size = row.find(" | ", name);
        states.push_back(row.substr(name, size - name) + ": " + row.substr(row.rfind(" | ") + 3));
    }
    return states;
}

// Opens the backups dialog through the system menu's command, runs `script`
// in it and closes it.
void InBackupsDialog(HWND window, const std::function<void(HWND)>& script) {
    EXPECT_TRUE(InModalLoop(
        nullptr, kTitle, [window] { PostMessageA(window, WM_SYSCOMMAND, IDM_BACKUPS, 0); },
        [&script](HWND dialog) {
            script(dialog);
            SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        }));
    EXPECT_EQ(FindWindowA(nullptr, kTitle), nullptr);
}

// The backups dialog's Close button reads so while no operation runs.
bool Idle(HWND dialog) {
    return Text(GetDlgItem(dialog, IDCANCEL)) == "Close";
}

// Presses a button of the backups dialog; returns once the operation it
// starts on the worker has ended and what it changed is painted.
void Press(HWND dialog, int id) {
    constexpr int kMostMs = 30000;
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([dialog] { return Idle(dialog); }, kMostMs)) << id;
    Pump();
}

// Presses Restore..., answering its question (if one comes) with `answer`;
// returns the question, empty when none came.
std::string PressRestore(HWND dialog, int answer) {
    constexpr const char* kMessageBoxClass = "#32770";
    constexpr int kMessageBoxText = 0xFFFF;
    std::string question;
    InModalLoop(
        kMessageBoxClass, "Restore", [dialog] { Press(dialog, IDC_BACKUP_RESTORE); },
        [&](HWND box) {
            question = Text(GetDlgItem(box, kMessageBoxText));
            SendMessageA(GetDlgItem(box, answer), BM_CLICK, 0, 0);
        });
    return question;
}

// Selects row `row` alone of the backups dialog's files list.
void SelectFile(HWND dialog, int row) {
    const HWND files = GetDlgItem(dialog, IDC_BACKUP_FILES);
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(files, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    LVITEMA select{};
    select.state = select.stateMask = LVIS_SELECTED;
    SendMessageA(files, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&select));
}

using ShownLine = std::pair<DiffLineKind, std::string>;

// Presses Diff and returns the lines its window shows with their kinds;
// none when no window titled `title` came.
std::vector<ShownLine> PressDiff(HWND dialog, const std::string& title) {
    std::vector<ShownLine> lines;
    InModalLoop(
        nullptr, title.c_str(),
        [dialog] { SendMessageA(GetDlgItem(dialog, IDC_BACKUP_DIFF), BM_CLICK, 0, 0); },
        [&](HWND view) {
            const HWND list = GetDlgItem(view, IDC_DIFF_LINES);
            for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
                std::string text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)),
                                 '\0');
                SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
                const auto kind =
                    static_cast<DiffLineKind>(SendMessageA(list, LB_GETITEMDATA, i, 0));
                lines.emplace_back(kind, text);
            }
            SendMessageA(GetDlgItem(view, IDCANCEL), BM_CLICK, 0, 0);
        });
    return lines;
}

}  // namespace

TEST_F(MainWindowFlowTest, BackupCompareAndRestoreOfAFileChangedInThePanel) {
    LogIn();
    Select(IDC_TREE_BOX, "config.txt");
    Click(IDC_DOWNLOAD);
    const std::string original = Box("config.txt");
    const std::vector<std::string> allSame = {
        "config.txt: same",    "favourites.txt: same", "timers.txt: same", "channels.db: same",
        "satellites.db: same", "bootlogo.bmp: same",   "update.pkg: same"};
    constexpr const char* kAllSame =
        ": 7 same, 0 differ, 0 missing on the box, 0 only on the box, 0 failed.";
    std::string folder;
    const auto localBefore = DescribeTree(Item(IDC_TREE_LOCAL));
    InBackupsDialog(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        Press(dialog, IDC_BACKUP_NOW);
        const auto backups = ListRows(GetDlgItem(dialog, IDC_BACKUP_LIST));
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(ListView_GetNextItem(GetDlgItem(dialog, IDC_BACKUP_LIST), -1, LVNI_SELECTED), 0);
        EXPECT_EQ(FileStates(dialog)[0], "config.txt: saved");
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_BACKUP_PROGRESS), PBM_GETPOS, 0, 0), 100);
        // What the console and the bar kept back while busy is shown and painted at the end.
        RECT pending;
        EXPECT_NE(Log().find("PC > Backed up 7 file(s) into backup\\"), std::string::npos) << Log();
        EXPECT_FALSE(GetUpdateRect(Item(IDC_LOG), &pending, FALSE));
        EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 100);
        for (const auto& e : fs::directory_iterator("backup")) {
            if (e.is_directory()) {  // not the store's lock files
                folder = e.path().string();
            }
        }
        Press(dialog, IDC_BACKUP_COMPARE);
        EXPECT_EQ(FileStates(dialog), allSame);
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_BACKUP_STATUS)),
                  "Compared with backup\\" + fs::path(folder).filename().string() + kAllSame);
        for (int id : {IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE, IDCANCEL}) {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
        }
    });
    EXPECT_NE(Log().find("PC > Dump finished !"), std::string::npos);
    // The console shows a backslash escaped.
    EXPECT_NE(Log().find("PC > Compared with backup\\\\" + fs::path(folder).filename().string() +
                         kAllSame),
              std::string::npos)
        << Log();
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_LOCAL)), localBefore);

    // Edited in the panel, saved and uploaded: the box's copy differs.
    Select(IDC_TREE_LOCAL, "config.txt");
    SetWindowTextA(Item(IDC_TEXT), "volume=1");
    Click(IDC_SAVE);
    Click(IDC_UPLOAD);
    ASSERT_EQ(Box("config.txt"), "volume=1\n");  // the file's own LF end
    const int stored = s_box->Stats().uploadsStored;
    InBackupsDialog(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        Press(dialog, IDC_BACKUP_COMPARE);
        std::vector<std::string> differs = allSame;
        differs[0] = "config.txt: differs";
        EXPECT_EQ(FileStates(dialog), differs);
        // The box's copy that the compare read beside the backup's, as a diff.
        const HWND diff = GetDlgItem(dialog, IDC_BACKUP_DIFF);
        SelectFile(dialog, 3);  // channels.db: the same
        EXPECT_FALSE(IsWindowEnabled(diff));
        SelectFile(dialog, 0);
        EXPECT_TRUE(IsWindowEnabled(diff));
        const std::string backup = fs::path(folder).filename().string();
        const std::vector<ShownLine> lines =
            PressDiff(dialog, "Diff - config.txt: backup " + backup + " beside the box");
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[0], ShownLine(DiffLineKind::kHeader, "--- " + backup + "/config.txt"));
        EXPECT_EQ(lines[1], ShownLine(DiffLineKind::kHeader, "+++ box/config.txt"));
        EXPECT_EQ(lines[2].first, DiffLineKind::kHunk);
        EXPECT_EQ(lines.back(), ShownLine(DiffLineKind::kAdded, "+volume=1"));
        // Every line of the original went; each is shown as removed.
        for (size_t i = 3; i + 1 < lines.size(); ++i) {
            EXPECT_EQ(lines[i].first, DiffLineKind::kRemoved) << lines[i].second;
            EXPECT_EQ(lines[i].second.front(), '-');
        }
        const std::string question = PressRestore(dialog, IDYES);
        EXPECT_EQ(question.rfind("1 file(s) of the backup differ from the box's and will "
                                 "be sent: config.txt.",
                                 0),
                  0u)
            << question;
        std::vector<std::string> restored(allSame.size());
        for (size_t i = 0; i < allSame.size(); ++i) {
            restored[i] = allSame[i].substr(0, allSame[i].find(':')) + ": unchanged";
        }
        restored[0] = "config.txt: verified";
        EXPECT_EQ(FileStates(dialog), restored);
        Press(dialog, IDC_BACKUP_COMPARE);
        EXPECT_EQ(FileStates(dialog), allSame);
    });
    EXPECT_EQ(Box("config.txt"), original);
    EXPECT_EQ(Box("config.txt"), ReadFile(folder + "/config.txt"));
    EXPECT_EQ(s_box->Stats().uploadsStored, stored + 1);  // that file alone

    // A damaged backup: refused before anything reaches the box.
    WriteFile(folder + "/channels.db", "not what was saved");
    WriteFile("box/timers.txt", "changed on the box");
    s_box->ClearReceived();
    InBackupsDialog(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        EXPECT_EQ(PressRestore(dialog, IDNO), "");  // nothing asked
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_BACKUP_STATUS)),
                  "The backup in backup\\" + fs::path(folder).filename().string() +
                      " is damaged (channels.db); nothing was sent.");
        EXPECT_EQ(FileStates(dialog)[3], "channels.db: damaged");
    });
    EXPECT_TRUE(s_box->Received().empty());
    EXPECT_EQ(Box("timers.txt"), "changed on the box");
    fs::remove_all("backup");
    fs::remove("config.txt");
    WriteFile("box/config.txt", original);
    WriteFile("box/timers.txt", "");
}

TEST_F(MainWindowFlowTest, ABackupRunsBesideAnAnsweringWindowAndCancelLeavesItIncomplete) {
    fs::create_directories("paced");
    WriteFile("paced/manifest.txt", "Data a.bin 2\nData b.bin 2\nData c.bin 2\n");
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) {
        WriteFile(std::string("paced/") + name, std::string(96 * 1024, name[0]));
    }
    BoxSimOptions options;
    options.folder = "paced";
    options.port = 0;
    options.paceMs = 20;  // about two seconds a file
    BoxSimulator paced(options);
    std::string error;
    ASSERT_TRUE(paced.Start(&error)) << error;
    s_dialog->m_nPort = paced.Port();
    LogIn();
    constexpr int kMostMs = 20000;
    InBackupsDialog(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        const HWND status = GetDlgItem(dialog, IDC_BACKUP_STATUS);
        EXPECT_EQ(Text(status), "No backups of this box yet: Back up now makes one");
        const auto startBackup = [&] {
            SendMessageA(GetDlgItem(dialog, IDC_BACKUP_NOW), BM_CLICK, 0, 0);
            EXPECT_TRUE(
                WaitFor([&] { return Text(status).rfind("File 1 of 3: a.bin", 0) == 0; }, kMostMs))
                << Text(status);
        };
        startBackup();
        // What the worker reports is shown batch by batch while it works: the
        // bar moves during the first file, not only at the end.
        EXPECT_TRUE(WaitFor(
            [&] {
                return SendMessageA(GetDlgItem(dialog, IDC_BACKUP_PROGRESS), PBM_GETPOS, 0, 0) > 0;
            },
            kMostMs));
        // Nothing else may use the session; Cancel can be pressed.
        EXPECT_FALSE(Enabled(IDC_LOGIN));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BACKUP_NOW)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));
        EXPECT_EQ(Text(GetDlgItem(dialog, IDCANCEL)), "Cancel");
        // Another thread's message is answered, and the window repaints, meanwhile.
        std::atomic<bool> answered{false};
        std::jthread other([&] {
            char text[128] = {};
            DWORD_PTR result = 0;
            answered =
                SendMessageTimeoutA(status, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                    SMTO_NORMAL, 2000, &result) != 0 &&
                std::string(text).rfind("File ", 0) == 0;
        });
        EXPECT_TRUE(WaitFor([&] { return answered.load(); }, 3000));
        other.join();
        RedrawWindow(s_dialog->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        EXPECT_TRUE(
            WaitFor([&] { return !GetUpdateRect(s_dialog->GetSafeHwnd(), nullptr, FALSE); }, 1000));
        EXPECT_FALSE(Idle(dialog));

        // Cancel: the file under way is finished, the others are not tried.
        Press(dialog, IDCANCEL);
        EXPECT_EQ(Text(status).rfind("Stopped: INCOMPLETE backup in backup\\", 0), 0u)
            << Text(status);
        const auto backups = ListRows(GetDlgItem(dialog, IDC_BACKUP_LIST));
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(backups[0].substr(backups[0].rfind(" | ") + 3), "incomplete");
        EXPECT_TRUE(Enabled(IDC_LOGIN));
        EXPECT_EQ(s_dialog->LinkState(), link_state::kLoggedIn);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BACKUP_NOW)));
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_BACKUP_PROGRESS), PBM_GETPOS, 0, 0), 0);

        // Cancel twice: the transfer under way is broken off by closing the link.
        startBackup();
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_EQ(Text(GetDlgItem(dialog, IDCANCEL)), "Break off");
        Press(dialog, IDCANCEL);
        EXPECT_NE(Text(status).find("The transfer of a.bin was broken off by closing the link: "
                                    "log in again."),
                  std::string::npos)
            << Text(status);
        EXPECT_EQ(ListRows(GetDlgItem(dialog, IDC_BACKUP_LIST)).size(), 2u);
    });
    // The window has ended the login and says why.
    EXPECT_NE(s_dialog->LinkState(), link_state::kLoggedIn);
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Login");
    EXPECT_TRUE(Enabled(IDC_LOGIN));
    EXPECT_NE(Log().find("was broken off by closing the link"), std::string::npos);
    EXPECT_NE(Log().find("PC > Read data error, please check the connect !\r\nPC > Broken off on "
                         "request: the link was closed during a.bin, not by the box.\r\n"),
              std::string::npos)
        << Log();

    // Closed while it backs up: the console says what stays.
    LogIn();
    InBackupsDialog(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_BACKUP_NOW), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !Idle(dialog); }, kMostMs));
        const size_t before = Log().size();
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor(
            [&] {
                return Log().find("PC > Stopped: INCOMPLETE backup", before) != std::string::npos;
            },
            kMostMs));
    });
    EXPECT_NE(Log().find("PC > Backups dialog closed during the backup: the files saved so far "
                         "stay in its folder, which is marked INCOMPLETE; it stops after the file "
                         "under way.\r\n"),
              std::string::npos)
        << Log();
    for (const auto& e : fs::directory_iterator("backup")) {
        if (!e.is_directory()) {
            continue;  // the store's lock files stay beside the backups
        }
        EXPECT_TRUE(fs::exists(e.path() / "INCOMPLETE")) << e.path();
        EXPECT_FALSE(fs::exists(e.path() / "b.bin")) << e.path();
    }
    fs::remove_all("backup");
    s_dialog->m_nPort = s_box->Port();
}

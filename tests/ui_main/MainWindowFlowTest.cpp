// The real main window at work against the substitute box over loopback: the
// notifications come from the real controls (selection changes, clicks and
// focus changes from real mouse and key input), in a fresh working directory.
// One window serves the whole suite; each test starts logged out.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backup/BackupStore.h"
#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "box/HostAddress.h"
#include "box/WireFormat.h"
#include "boxsim/BoxSimulator.h"
#include "boxsim/DemoContent.h"
#include "resources/resource.h"
#include "tests/support/MainWindowUnderTest.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserInput.h"
#include "tests/ui_main/WindowDriver.h"
#include "ui/flow/LinkState.h"
#include "ui/flow/PaintPacer.h"
#include "ui/main/MainDialog.h"

namespace fs = std::filesystem;

namespace {

class MainWindowFlowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        StartWindowTests();
        s_dir = std::make_unique<TempDir>();
        fs::create_directories("config");
        std::string error;
        ASSERT_TRUE(MakeDemoFolder("box", "manifest.txt", &error)) << error;
        BoxSimOptions options;
        options.folder = "box";
        options.port = 0;
        options.waitPhase = true;  // an upload is stored before Upload returns
        options.recordReceived = true;
        s_box = std::make_unique<BoxSimulator>(options);
        ASSERT_TRUE(s_box->Start(&error)) << error;
        s_window = std::make_unique<MainWindowUnderTest>();
        ASSERT_TRUE(s_window->Open());
        s_dialog = s_window->Dialog();
        s_session = &s_window->Session();
        s_socket = &s_window->Socket();
        SetForegroundWindow(s_dialog->GetSafeHwnd());
        // Two clicks on one item are two clicks here, never a double click.
        s_doubleClickMs = GetDoubleClickTime();
        SetDoubleClickTime(1);
        Pump();
    }

    static void TearDownTestSuite() {
        SetDoubleClickTime(s_doubleClickMs);
        s_window.reset();
        s_box.reset();
        s_dir.reset();
    }

    void SetUp() override {
        ASSERT_NE(s_dialog, nullptr);
        if (s_dialog->LinkState() == link_state::kLoggedIn) {
            Click(IDC_LOGIN);
        }
        SetWindowTextA(Item(IDC_BOX_IP), "127.0.0.1");
        SetWindowTextA(Item(IDC_PASSWORD), "7351");
        s_dialog->m_nPort = s_box->Port();
    }

    static HWND Item(int id) { return GetDlgItem(s_dialog->GetSafeHwnd(), id); }
    // A press of a button, as BM_CLICK makes it: the focus moves onto it.
    static void Click(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    static std::string Log() { return Text(Item(IDC_LOG)); }
    static bool EndsWith(const std::string& text, const std::string& end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    }
    static bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
    static void Select(int treeId, const char* text) {
        const HWND tree = Item(treeId);
        const HTREEITEM item = FindTreeItem(tree, text);
        ASSERT_NE(item, nullptr) << text;
        TreeView_SelectItem(tree, item);
        Pump();
    }
    static void LogIn() {
        Click(IDC_LOGIN);
        ASSERT_EQ(s_dialog->LinkState(), link_state::kLoggedIn) << Log();
    }
    static std::string Box(const char* name) { return ReadFile(std::string("box/") + name); }

    static std::unique_ptr<TempDir> s_dir;
    static std::unique_ptr<BoxSimulator> s_box;
    static std::unique_ptr<MainWindowUnderTest> s_window;
    // Parts of s_window, not owned.
    static MainDialog* s_dialog;
    static BoxSession* s_session;
    static BoxSocket* s_socket;
    static UINT s_doubleClickMs;
};

std::unique_ptr<TempDir> MainWindowFlowTest::s_dir;
std::unique_ptr<BoxSimulator> MainWindowFlowTest::s_box;
std::unique_ptr<MainWindowUnderTest> MainWindowFlowTest::s_window;
MainDialog* MainWindowFlowTest::s_dialog = nullptr;
BoxSession* MainWindowFlowTest::s_session = nullptr;
BoxSocket* MainWindowFlowTest::s_socket = nullptr;
UINT MainWindowFlowTest::s_doubleClickMs = 0;

// Text as an edit control shows it: every line ending in CR LF.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n' && (out.empty() || out.back() != '\r')) {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// The C runtime writes text files with CR LF ends on Windows.
std::string WithoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

}  // namespace

TEST_F(MainWindowFlowTest, LoginFillsBothTreesAndLogoutEmptiesThem) {
    WriteFile("favourites.txt", "mine\r\n");
    WriteFile("update.pkg", "never shown on the PC's side");
    LogIn();
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Logout");
    char port[8];
    std::snprintf(port, sizeof port, "%05u", s_box->Port());
    EXPECT_EQ(WithoutCr(ReadFile("config/config.ini")),
              std::string("BOXIP=127.0.0.1\nPORT=") + port + "\nPASSWORD=7351\n");
    EXPECT_NE(Log().find("PC > Now connecting to BOX ....wait 20 seconds \r\nPC > REMOTE KEY IS "
                         "DISABLE, until Logout !\r\nPC > Login OK. :) \r\n"),
              std::string::npos);
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_BOX)),
              (std::vector<std::string>{"Settings: config.txt/1 favourites.txt/1 timers.txt/1",
                                        "Channels: channels.db/2 satellites.db/0",
                                        "Pictures: bootlogo.bmp/0", "Firmware: update.pkg/0"}));
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_LOCAL)),
              (std::vector<std::string>{"Settings: favourites.txt/1",
                                        "Channels:", "Pictures:", "Firmware:"}));

    Click(IDC_LOGIN);
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Login");
    EXPECT_NE(s_dialog->LinkState(), link_state::kLoggedIn);
    EXPECT_TRUE(EndsWith(Log(), "\r\n\r\nPC > Logout , disconnect !\r\n")) << Log();
    EXPECT_EQ(TreeView_GetCount(Item(IDC_TREE_BOX)), 0u);
    EXPECT_EQ(TreeView_GetCount(Item(IDC_TREE_LOCAL)), 0u);
    EXPECT_EQ(s_session->State(), BoxSession::kNotLoggedIn);
    EXPECT_FALSE(s_socket->IsConnected());
    fs::remove("favourites.txt");
    fs::remove("update.pkg");
}

TEST_F(MainWindowFlowTest, RefusedUnreachableAndSilentBoxesLeaveTheWindowLoggedOut) {
    const int state = s_dialog->LinkState();
    // A resolver would read it as 127.0.0.1, where the box listens.
    const int accepted = s_box->Stats().connectionsAccepted;
    SetWindowTextA(Item(IDC_BOX_IP), "127.0.0.01");
    Click(IDC_LOGIN);
    EXPECT_TRUE(EndsWith(Log(), "PC > BOX IP " + HostAddress("127.0.0.01").Problem() + " \r\n"))
        << Log();
    EXPECT_EQ(s_box->Stats().connectionsAccepted, accepted);
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Login");
    SetWindowTextA(Item(IDC_BOX_IP), "127.0.0.1");

    SetWindowTextA(Item(IDC_PASSWORD), "1234");
    Click(IDC_LOGIN);
    EXPECT_NE(Log().find("PC > Login FAIL:"), std::string::npos);
    EXPECT_EQ(s_dialog->LinkState(), state);
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Login");
    EXPECT_EQ(TreeView_GetCount(Item(IDC_TREE_BOX)), 0u);
    EXPECT_FALSE(s_socket->IsConnected());  // the box is free for another client

    s_dialog->m_nPort = ClosedLoopbackPort();
    Click(IDC_LOGIN);
    EXPECT_TRUE(EndsWith(Log(),
                         "PC > Now connecting to BOX ....wait 20 seconds \r\nPC > Can not "
                         "connect ! \r\n"))
        << Log();

    // A box that takes the login and never answers: two logins, three connects.
    ScriptedBox silent;
    silent.Read(12).Close().NextConnection().Read(12).Close().NextConnection();
    silent.Start();
    s_dialog->m_nPort = silent.Port();
    Click(IDC_LOGIN);
    EXPECT_TRUE(EndsWith(Log(), "PC > Can not connect, Port is close !\r\n")) << Log();
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Login");
    EXPECT_EQ(s_dialog->LinkState(), state);
    s_socket->Close();
    const auto received = silent.Finish();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].size(), 12u);
    EXPECT_EQ(received[1].size(), 12u);
    EXPECT_TRUE(received[2].empty());
}

TEST_F(MainWindowFlowTest, DownloadShowsTextFilesAndExpandsTheirGroup) {
    LogIn();
    Select(IDC_TREE_BOX, "config.txt");
    ASSERT_TRUE(Enabled(IDC_DOWNLOAD));
    Click(IDC_DOWNLOAD);
    EXPECT_EQ(ReadFile("config.txt"), Box("config.txt"));
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD));  // a second download needs a new tree event
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_LOCAL))[0], "Settings+: config.txt/1");
    EXPECT_EQ(Text(Item(IDC_TEXT)), WithCrLf(Box("config.txt")));
    EXPECT_EQ(Text(Item(IDC_SEL_FILE)), " [config.txt] ");
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 100);
    EXPECT_NE(Log().find("PC > Dump finished !"), std::string::npos);

    // Another type: on disk and in the tree, the panel keeps the text file.
    Select(IDC_TREE_BOX, "channels.db");
    Click(IDC_DOWNLOAD);
    EXPECT_EQ(ReadFile("channels.db"), Box("channels.db"));
    const auto local = DescribeTree(Item(IDC_TREE_LOCAL));
    EXPECT_EQ(local[0], "Settings: config.txt/1");
    EXPECT_EQ(local[1], "Channels+: channels.db/2");
    EXPECT_EQ(Text(Item(IDC_SEL_FILE)), " [config.txt] ");
    EXPECT_EQ(Text(Item(IDC_TEXT)), WithCrLf(Box("config.txt")));
    fs::remove("config.txt");
    fs::remove("channels.db");
}

TEST_F(MainWindowFlowTest, EditSaveUploadAndClear) {
    WriteFile("timers.txt", "20:15 News\n");
    LogIn();
    Select(IDC_TREE_LOCAL, "timers.txt");
    EXPECT_TRUE(Enabled(IDC_UPLOAD));
    EXPECT_EQ(Text(Item(IDC_TEXT)), "20:15 News\r\n");
    EXPECT_EQ(Text(Item(IDC_SEL_FILE)), " [timers.txt] ");

    SetWindowTextA(Item(IDC_TEXT), "21:00 Movie\r\n22:30 Sport");
    Click(IDC_SAVE);
    EXPECT_EQ(ReadFile("timers.txt"), "21:00 Movie\r\n22:30 Sport\r\n");
    Click(IDC_UPLOAD);
    EXPECT_EQ(Box("timers.txt"), "21:00 Movie\r\n22:30 Sport\r\n");
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 100);

    Click(IDC_CLEAR);
    EXPECT_EQ(Text(Item(IDC_TEXT)), "");
    EXPECT_EQ(Text(Item(IDC_SEL_FILE)), " [timers.txt] ");
    Click(IDC_SAVE);  // the emptied panel goes over the selected file
    EXPECT_EQ(ReadFile("timers.txt"), "");

    Click(IDC_LOGIN);  // logout
    EXPECT_EQ(Text(Item(IDC_SEL_FILE)), " ");
    WriteFile("timers.txt", "kept");
    Click(IDC_SAVE);  // nothing is selected any more
    EXPECT_EQ(ReadFile("timers.txt"), "kept");
    fs::remove("timers.txt");
}

TEST_F(MainWindowFlowTest, ArrowsFollowTheTreesAndTheFocus) {
    WriteFile("satellites.db", "old");
    WriteFile("config.txt", "a=1\r\n");
    LogIn();
    const HWND box = Item(IDC_TREE_BOX);
    const HWND local = Item(IDC_TREE_LOCAL);

    // A click on a box file enables download; the focus going elsewhere disables it.
    ClickTreeItem(box, FindTreeItem(box, "Channels"));
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD));
    TreeView_Expand(box, FindTreeItem(box, "Channels"), TVE_EXPAND);
    ClickTreeItem(box, FindTreeItem(box, "satellites.db"));
    EXPECT_TRUE(Enabled(IDC_DOWNLOAD));
    EXPECT_FALSE(Enabled(IDC_UPLOAD));
    SetFocus(Item(IDC_LOG));
    Pump();
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD));
    // ... but not when it goes straight to the arrow, which then downloads.
    ClickTreeItem(box, FindTreeItem(box, "satellites.db"));
    ASSERT_TRUE(Enabled(IDC_DOWNLOAD));
    ClickWindow(Item(IDC_DOWNLOAD));
    EXPECT_EQ(ReadFile("satellites.db"), Box("satellites.db"));
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD));

    // Local tree: arrow keys onto a type-0 file disable upload, a click on it
    // (already selected) enables it, and a click in the local tree disables download.
    for (const char* group : {"Settings", "Channels"}) {
        TreeView_Expand(local, FindTreeItem(local, group), TVE_EXPAND);
    }
    ClickTreeItem(local, FindTreeItem(local, "config.txt"));
    EXPECT_TRUE(Enabled(IDC_UPLOAD));
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD));
    PressKey(VK_DOWN);  // onto the group "Channels"
    EXPECT_FALSE(Enabled(IDC_UPLOAD));
    PressKey(VK_DOWN);  // onto satellites.db, type 0
    ASSERT_EQ(TreeItemText(local, TreeView_GetSelection(local)), "satellites.db");
    EXPECT_FALSE(Enabled(IDC_UPLOAD));
    ClickTreeItem(local, TreeView_GetSelection(local));
    EXPECT_TRUE(Enabled(IDC_UPLOAD));
    WriteFile("satellites.db", "new table");
    ClickWindow(Item(IDC_UPLOAD));
    EXPECT_EQ(Box("satellites.db"), "new table");
    EXPECT_TRUE(Enabled(IDC_UPLOAD));  // until the focus leaves the local tree again
    SetFocus(local);
    Pump();
    SetFocus(Item(IDC_LOG));
    Pump();
    EXPECT_FALSE(Enabled(IDC_UPLOAD));
    fs::remove("satellites.db");
    fs::remove("config.txt");
}

namespace {

struct HelpSeen {
    bool shown = false;
    std::string text;
    bool readOnly = false;
    bool focusInText = false;
    DWORD selStart = 1, selEnd = 1;
    COLORREF textColour = CLR_INVALID, backColour = CLR_INVALID;
};
HelpSeen g_help;

// Runs inside the help window's modal loop: reads the window, then presses Esc.
void CALLBACK LookAtHelp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND help = FindWindowA(nullptr, "Format help");
    if (help == nullptr) {
        return;
    }
    const HWND edit = GetDlgItem(help, IDC_HELP_TEXT);
    g_help.shown = true;
    g_help.text = Text(edit);
    g_help.readOnly = (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0;
    g_help.focusInText = GetFocus() == edit;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&g_help.selStart),
                 reinterpret_cast<LPARAM>(&g_help.selEnd));
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageA(help, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(edit));
    g_help.textColour = GetTextColor(dc);
    g_help.backColour = GetBkColor(dc);
    DeleteDC(dc);
    SendKey(VK_ESCAPE);
}

}  // namespace

TEST_F(MainWindowFlowTest, FormatHelpShowsThePageOfTheSelectedFile) {
    WriteFile("favourites.txt", "x\r\n");
    fs::create_directories("help");
    WriteFile("help/hlp_favourites.txt", "Line one\nLine two");
    LogIn();
    Select(IDC_TREE_LOCAL, "favourites.txt");
    g_help = {};
    SetTimer(nullptr, 0, 100, LookAtHelp);
    Click(IDC_FORMAT_HELP);  // returns once Esc has closed the window
    EXPECT_TRUE(g_help.shown);
    EXPECT_EQ(g_help.text, "Line one\r\nLine two\r\n");
    EXPECT_TRUE(g_help.readOnly);
    EXPECT_TRUE(g_help.focusInText);
    EXPECT_EQ(g_help.selStart, g_help.selEnd);  // nothing selected
    EXPECT_EQ(g_help.textColour, RGB(0, 0, 0));
    EXPECT_EQ(g_help.backColour, RGB(135, 206, 235));
    EXPECT_EQ(FindWindowA(nullptr, "Format help"), nullptr);

    // No page: no window at all.
    fs::remove("help/hlp_favourites.txt");
    g_help = {};
    const UINT_PTR guard = SetTimer(nullptr, 0, 100, LookAtHelp);
    Click(IDC_FORMAT_HELP);
    Sleep(150);
    Pump();
    KillTimer(nullptr, guard);
    EXPECT_FALSE(g_help.shown);
    fs::remove("favourites.txt");
}

TEST_F(MainWindowFlowTest, ListedNamesThatAreNoPlainFileNamesStayOffTheDisk) {
    const fs::path outside = fs::path("..") / "evil.txt";
    WriteFile(outside.string(), "not the box's");
    ScriptedBox scripted;
    scripted.LoginAndList("Settings", {"..\\evil.txt"}, 1);
    scripted.Start();
    s_dialog->m_nPort = scripted.Port();
    LogIn();
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_BOX)),
              (std::vector<std::string>{"Settings: ..\\evil.txt/1"}));
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_LOCAL)), (std::vector<std::string>{"Settings:"}));
    Select(IDC_TREE_BOX, "..\\evil.txt");
    Click(IDC_DOWNLOAD);
    EXPECT_NE(Log().find("PC > Refused file name"), std::string::npos);
    EXPECT_EQ(Text(Item(IDC_TEXT)), "");
    EXPECT_EQ(ReadFile(outside.string()), "not the box's");
    Click(IDC_LOGIN);
    s_socket->Close();
    EXPECT_EQ(scripted.FirstReceived().size(), 12u + 4u + 4u);  // login, list, logout
    fs::remove(outside);
}

TEST_F(MainWindowFlowTest, ConsoleAndBarArePaintedAsTheyChange) {
    // A transfer holds the thread: what is shown must be painted at once, not
    // when the window's messages are next dispatched (unless they were painted
    // a moment ago).
    Sleep(PaintPacer::kIntervalMs);
    RECT pending;
    MainDialog::AppendLog("PC > a line while busy\n", 0);
    EXPECT_FALSE(GetUpdateRect(Item(IDC_LOG), &pending, FALSE));
    MainDialog::SetProgress(37);
    EXPECT_FALSE(GetUpdateRect(Item(IDC_PROGRESS), &pending, FALSE));
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 37);
    // The next line at once too: nothing may come after it to paint it.
    MainDialog::AppendLog("PC > and the next at once\n", 0);
    EXPECT_FALSE(GetUpdateRect(Item(IDC_LOG), &pending, FALSE));
}

namespace {

// Watches, from a thread of its own, how long at most the window had a part
// waiting for a paint: while the window's thread works with the box, only
// what it paints itself reaches the screen.
class UnpaintedWatch {
public:
    explicit UnpaintedWatch(HWND window)
        : m_thread([this, window](std::stop_token stop) {
              ULONGLONG since = 0;
              while (!stop.stop_requested()) {
                  const ULONGLONG now = GetTickCount64();
                  if (GetUpdateRect(window, nullptr, FALSE)) {
                      since = since == 0 ? now : since;
                      m_nLongestMs = std::max<ULONGLONG>(m_nLongestMs, now - since);
                  } else {
                      since = 0;
                  }
                  Sleep(kLookMs);
              }
          }) {}
    // The longest stretch so far, in milliseconds.
    ULONGLONG LongestMs() {
        m_thread.request_stop();
        m_thread.join();
        return m_nLongestMs;
    }

private:
    static constexpr DWORD kLookMs = 10;
    std::atomic<ULONGLONG> m_nLongestMs{0};
    std::jthread m_thread;
};

}  // namespace

TEST_F(MainWindowFlowTest, TheConsoleShowsEachLineWhileALoginOrATransferWaits) {
    // A box that answers slowly: each reply, and each block of a transfer, late.
    fs::create_directories("paced");
    WriteFile("paced/manifest.txt", "Data big.bin 2\n");
    WriteFile("paced/big.bin", std::string(64 * 1024, 'b'));
    struct Case {
        const char* what;
        int paceMs;
        std::function<void()> press;
    } cases[] = {
        {"login", 1500, [] { Click(IDC_LOGIN); }},
        {"download", 25,
         [] {
             Select(IDC_TREE_BOX, "big.bin");
             Click(IDC_DOWNLOAD);
         }},
        {"upload", 25,
         [] {
             Select(IDC_TREE_LOCAL, "big.bin");
             Click(IDC_UPLOAD);
         }},
    };
    constexpr ULONGLONG kLongestUnpaintedMs = 700;
    constexpr ULONGLONG kShortestWorkMs = 1400;
    for (const Case& c : cases) {
        BoxSimOptions options;
        options.folder = "paced";
        options.port = 0;
        options.paceMs = c.paceMs;
        BoxSimulator paced(options);
        std::string error;
        ASSERT_TRUE(paced.Start(&error)) << error;
        s_dialog->m_nPort = paced.Port();
        if (std::string(c.what) != "login") {
            LogIn();
        }
        UnpaintedWatch watch(Item(IDC_LOG));
        const ULONGLONG start = GetTickCount64();
        c.press();
        const ULONGLONG took = GetTickCount64() - start;
        EXPECT_GE(took, kShortestWorkMs) << c.what;
        EXPECT_LT(watch.LongestMs(), kLongestUnpaintedMs) << c.what << ", took " << took;
        Click(IDC_LOGIN);  // logout
    }
    EXPECT_EQ(ReadFile("paced/big.bin"), std::string(64 * 1024, 'b'));  // uploaded back whole
    fs::remove("big.bin");
    s_dialog->m_nPort = s_box->Port();
}

namespace {

struct BackupsSeen {
    bool shown = false;
    bool ownerDisabled = false;  // modal over the main window
    bool consoleInView = false;  // neither the log console nor the bar covered
    std::vector<std::string> rows, fileColumns, newestFiles, olderFiles;
    std::vector<int> enabled;  // of Back up now, Compare, Restore... and Close
};
BackupsSeen g_backups;

int Columns(HWND list) {
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

std::vector<std::string> Headings(HWND list) {
    std::vector<std::string> headings;
    for (int c = 0; c < Columns(list); ++c) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
        headings.push_back(text);
    }
    return headings;
}

// Each item as "column 0 | column 1 | ...".
std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    for (int i = 0; i < static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); ++i) {
        std::string row;
        for (int c = 0; c < Columns(list); ++c) {
            char text[128] = {};
            LVITEMA item{};
            item.iSubItem = c;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            row += (c > 0 ? " | " : "") + std::string(text);
        }
        rows.push_back(row);
    }
    return rows;
}

// Runs inside the dialog's modal loop: reads the dialog, then presses Esc.
void CALLBACK LookAtBackups(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND dialog = FindWindowA(nullptr, "Backups");
    if (dialog == nullptr) {
        return;
    }
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
    g_backups.rows = Rows(list);
    g_backups.fileColumns = Headings(files);
    g_backups.newestFiles = Rows(files);
    // The list's own selection change tells the dialog.
    LVITEMA select{};
    select.state = select.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
    g_backups.olderFiles = Rows(files);
    for (int id : {IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE, IDCANCEL}) {
        if (IsWindowEnabled(GetDlgItem(dialog, id))) {
            g_backups.enabled.push_back(id);
        }
    }
    SendKey(VK_ESCAPE);
}

// Ctrl+B in the log console, as the message loop offers the key to the window.
bool PressCtrlB(HWND window) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), std::begin(held));
    held[VK_CONTROL] = 0x80;
    SetKeyboardState(held);
    MSG key{GetDlgItem(window, IDC_LOG), WM_KEYDOWN, 'B', 0, 0, {0, 0}};
    const BOOL taken = CWnd::WalkPreTranslateTree(&key);
    SetKeyboardState(keys);
    return taken != FALSE;
}

// The system menu's command, posted as the menu posts it (or Ctrl+B pressed);
// returns once Esc has closed the dialog it opens (if any).
void ChooseBackups(HWND window, bool byKey = false) {
    g_backups = {};
    const UINT_PTR look = SetTimer(nullptr, 0, 100, LookAtBackups);
    if (byKey) {
        EXPECT_TRUE(PressCtrlB(window));
    } else {
        PostMessageA(window, WM_SYSCOMMAND, IDM_BACKUPS, 0);
    }
    Pump();
    Sleep(150);
    Pump();
    KillTimer(nullptr, look);
}

bool Greyed(HMENU menu) {
    return (GetMenuState(menu, IDM_BACKUPS, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

}  // namespace

TEST_F(MainWindowFlowTest, BackupsEntryFollowsTheLoginAndListsTheBackups) {
    const HWND window = s_dialog->GetSafeHwnd();
    const HMENU menu = GetSystemMenu(window, FALSE);
    // Below About: a separator, then the entry, greyed while logged out.
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 3);
    EXPECT_EQ(GetMenuItemID(menu, count - 3), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_NE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
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
    EXPECT_EQ(g_backups.rows, (std::vector<std::string>{
                                  "2026-12-09 09:00:00 | 127.0.0.1 | 1 | incomplete",
                                  "2026-12-08 14:45:17 | 127.0.0.1 | 2 | ",
                              }));
    EXPECT_EQ(g_backups.fileColumns, (std::vector<std::string>{"Group", "Name", "Size", "State"}));
    EXPECT_EQ(g_backups.newestFiles, (std::vector<std::string>{"Settings | config.txt | 5 | "}));
    EXPECT_EQ(g_backups.olderFiles,
              (std::vector<std::string>{"Settings | config.txt | ? | ",
                                        "Channels | channels.db | 2,048 | "}));
    // Logged in, with a backup whose manifest reads selected: everything.
    EXPECT_EQ(g_backups.enabled,
              (std::vector<int>{IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE, IDCANCEL}));
    EXPECT_EQ(FindWindowA(nullptr, "Backups"), nullptr);
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
    for (const std::string& row : Rows(GetDlgItem(dialog, IDC_BACKUP_FILES))) {
        const size_t name = row.find(" | ") + 3;
        const size_t size = row.find(" | ", name);
        states.push_back(row.substr(name, size - name) + ": " + row.substr(row.rfind(" | ") + 3));
    }
    return states;
}

std::function<void(HWND)> g_script;
bool g_scriptRan = false;

// Runs inside the dialog's modal loop: the script, then Close.
void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND dialog = FindWindowA(nullptr, "Backups");
    if (dialog == nullptr) {
        return;
    }
    g_scriptRan = true;
    g_script(dialog);
    SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
}

// Opens the backups dialog through the system menu's command, runs `script`
// in it and closes it.
void InBackupsDialog(HWND window, std::function<void(HWND)> script) {
    g_script = std::move(script);
    g_scriptRan = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, RunScript);
    PostMessageA(window, WM_SYSCOMMAND, IDM_BACKUPS, 0);
    Pump();
    Sleep(150);
    Pump();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_scriptRan);
    EXPECT_EQ(FindWindowA(nullptr, "Backups"), nullptr);
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

struct Question {
    int answer = IDNO;
    int looks = 0;
    std::string text;  // empty when no question came
};
Question g_question;

// Runs inside the message box's modal loop: reads the question and answers it.
void CALLBACK AnswerQuestion(HWND, UINT, UINT_PTR timer, DWORD) {
    constexpr int kMostLooks = 50;
    const HWND box = FindWindowA("#32770", "Restore");
    if (box == nullptr) {
        if (++g_question.looks > kMostLooks) {
            KillTimer(nullptr, timer);
        }
        return;
    }
    KillTimer(nullptr, timer);
    constexpr int kMessageBoxText = 0xFFFF;
    g_question.text = Text(GetDlgItem(box, kMessageBoxText));
    SendMessageA(GetDlgItem(box, g_question.answer), BM_CLICK, 0, 0);
}

// Presses Restore..., answering its question (if one comes) with `answer`.
void PressRestore(HWND dialog, int answer) {
    g_question = {};
    g_question.answer = answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerQuestion);
    Press(dialog, IDC_BACKUP_RESTORE);
    KillTimer(nullptr, timer);
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
    std::string folder;
    const auto localBefore = DescribeTree(Item(IDC_TREE_LOCAL));
    InBackupsDialog(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        Press(dialog, IDC_BACKUP_NOW);
        const auto backups = Rows(GetDlgItem(dialog, IDC_BACKUP_LIST));
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(ListView_GetNextItem(GetDlgItem(dialog, IDC_BACKUP_LIST), -1, LVNI_SELECTED), 0);
        EXPECT_EQ(FileStates(dialog)[0], "config.txt: saved");
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_BACKUP_PROGRESS), PBM_GETPOS, 0, 0), 100);
        // What the console and the bar kept back while busy is shown and painted at the end.
        RECT pending;
        EXPECT_NE(Log().find("PC > Backed up 7 file(s) into backup\\"), std::string::npos) << Log();
        EXPECT_FALSE(GetUpdateRect(Item(IDC_LOG), &pending, FALSE));
        EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 100);
        Press(dialog, IDC_BACKUP_COMPARE);
        EXPECT_EQ(FileStates(dialog), allSame);
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_BACKUP_STATUS)), "Compared with the box: 7 same.");
        for (int id : {IDC_BACKUP_NOW, IDC_BACKUP_COMPARE, IDC_BACKUP_RESTORE, IDCANCEL}) {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
        }
    });
    for (const auto& e : fs::directory_iterator("backup")) {
        folder = e.path().string();
    }
    EXPECT_NE(Log().find("PC > Dump finished !"), std::string::npos);
    EXPECT_NE(Log().find("PC > Compared with the box: 7 same."), std::string::npos);
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_LOCAL)), localBefore);

    // Edited in the panel, saved and uploaded: the box's copy differs.
    Select(IDC_TREE_LOCAL, "config.txt");
    SetWindowTextA(Item(IDC_TEXT), "volume=1");
    Click(IDC_SAVE);
    Click(IDC_UPLOAD);
    ASSERT_EQ(Box("config.txt"), "volume=1\r\n");
    const int stored = s_box->Stats().uploadsStored;
    InBackupsDialog(s_dialog->GetSafeHwnd(), [&](HWND dialog) {
        Press(dialog, IDC_BACKUP_COMPARE);
        std::vector<std::string> differs = allSame;
        differs[0] = "config.txt: differs";
        EXPECT_EQ(FileStates(dialog), differs);
        PressRestore(dialog, IDYES);
        EXPECT_EQ(g_question.text.rfind("1 file(s) of the backup differ from the box's and will "
                                        "be sent: config.txt.",
                                        0),
                  0u)
            << g_question.text;
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
        PressRestore(dialog, IDNO);
        EXPECT_EQ(g_question.text, "");  // nothing asked
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_BACKUP_STATUS)),
                  "Damaged backup, refused: channels.db fail(s) the backup's checksums; nothing "
                  "was sent.");
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
        const auto startBackup = [&] {
            SendMessageA(GetDlgItem(dialog, IDC_BACKUP_NOW), BM_CLICK, 0, 0);
            EXPECT_TRUE(
                WaitFor([&] { return Text(status).rfind("File 1 of 3: a.bin", 0) == 0; }, kMostMs))
                << Text(status);
        };
        startBackup();
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
        const auto backups = Rows(GetDlgItem(dialog, IDC_BACKUP_LIST));
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_EQ(backups[0].substr(backups[0].rfind(" | ") + 3), "incomplete");
        EXPECT_TRUE(Enabled(IDC_LOGIN));
        EXPECT_EQ(s_dialog->LinkState(), link_state::kLoggedIn);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_BACKUP_NOW)));

        // Cancel twice: the transfer under way is broken off by closing the link.
        startBackup();
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_EQ(Text(GetDlgItem(dialog, IDCANCEL)), "Break off");
        Press(dialog, IDCANCEL);
        EXPECT_NE(Text(status).find("The transfer of a.bin was broken off by closing the link: "
                                    "log in again."),
                  std::string::npos)
            << Text(status);
        EXPECT_EQ(Rows(GetDlgItem(dialog, IDC_BACKUP_LIST)).size(), 2u);
    });
    // The window has ended the login and says why.
    EXPECT_NE(s_dialog->LinkState(), link_state::kLoggedIn);
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Login");
    EXPECT_TRUE(Enabled(IDC_LOGIN));
    EXPECT_NE(Log().find("was broken off by closing the link"), std::string::npos);
    for (const auto& e : fs::directory_iterator("backup")) {
        if (e.path().filename() == BackupStore::kLockName) {
            continue;  // the store's lock file stays beside the backups
        }
        EXPECT_TRUE(fs::exists(e.path() / "INCOMPLETE")) << e.path();
        EXPECT_FALSE(fs::exists(e.path() / "b.bin")) << e.path();
    }
    fs::remove_all("backup");
    s_dialog->m_nPort = s_box->Port();
}

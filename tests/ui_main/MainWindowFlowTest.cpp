// The main window's flows against the substitute box over loopback: the
// notifications come from the real controls (selection changes, clicks and
// focus changes from real mouse and key input).
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "box/HostAddress.h"
#include "box/WireFormat.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TextChecks.h"
#include "tests/support/UserInput.h"
#include "tests/ui_main/MainWindowFixture.h"
#include "tests/ui_main/ModalLoopDriver.h"
#include "ui/flow/PaintPacer.h"

namespace fs = std::filesystem;

TEST_F(MainWindowFlowTest, LoginFillsBothTreesAndLogoutEmptiesThem) {
    WriteFile("favourites.txt", "mine\r\n");
    WriteFile("update.pkg", "never shown on the PC's side");
    LogIn();
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Logout");
    char port[8];
    std::snprintf(port, sizeof port, "%05u", s_box->Port());
    EXPECT_EQ(Lf(ReadFile("config/config.ini")),
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

    const int closed = ClosedLoopbackPort();
    s_dialog->m_nPort = closed;
    Click(IDC_LOGIN);
    // The window's own line, then where, why and what to check, as velqo-cli says it.
    EXPECT_NE(Log().find("PC > Now connecting to BOX ....wait 20 seconds \r\nPC > Can not "
                         "connect ! \r\nPC > cannot connect to 127.0.0.1:" +
                         std::to_string(closed) + ": "),
              std::string::npos)
        << Log();
    EXPECT_TRUE(EndsWith(Log(),
                         "; check that the box is on and that the address and port are "
                         "its own\r\n"))
        << Log();

    // A box that takes the login and never answers: two logins, three connects.
    ScriptedBox silent;
    silent.Read(12).Close().NextConnection().Read(12).Close().NextConnection();
    silent.Start();
    s_dialog->m_nPort = silent.Port();
    Click(IDC_LOGIN);
    EXPECT_NE(Log().find("PC > Can not connect, Port is close !\r\nPC > 127.0.0.1:" +
                         std::to_string(silent.Port()) +
                         " took the connection but did not answer the login"),
              std::string::npos)
        << Log();
    EXPECT_TRUE(EndsWith(Log(), "this may not be a box, or not its port\r\n")) << Log();
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
    WriteFile("config.txt", "a line of mine\n");
    LogIn();
    Select(IDC_TREE_BOX, "config.txt");
    ASSERT_TRUE(Enabled(IDC_DOWNLOAD));
    Click(IDC_DOWNLOAD);
    EXPECT_EQ(ReadFile("config.txt"), Box("config.txt"));
    EXPECT_EQ(ReadFile("config.txt~"), "a line of mine\n");
    EXPECT_NE(Log().find("PC > The local file it replaced held other bytes: kept as config.txt~"),
              std::string::npos)
        << Log();
    EXPECT_FALSE(Enabled(IDC_DOWNLOAD));  // a second download needs a new tree event
    EXPECT_EQ(DescribeTree(Item(IDC_TREE_LOCAL))[0], "Settings+: config.txt/1");
    EXPECT_EQ(Text(Item(IDC_TEXT)), CrLf(Box("config.txt")));
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
    EXPECT_EQ(Text(Item(IDC_TEXT)), CrLf(Box("config.txt")));
    fs::remove("config.txt");
    fs::remove("config.txt~");
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
    EXPECT_EQ(ReadFile("timers.txt"), "21:00 Movie\n22:30 Sport\n");  // its own LF ends
    EXPECT_TRUE(EndsWith(Log(), "Saved timers.txt\r\n")) << Log();
    Click(IDC_UPLOAD);
    EXPECT_EQ(Box("timers.txt"), "21:00 Movie\n22:30 Sport\n");
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

constexpr const char* kHelpTitle = "Format help";

struct HelpSeen {
    bool shown = false;
    std::string text;
    bool readOnly = false;
    bool focusInText = false;
    DWORD selStart = 1, selEnd = 1;
    COLORREF textColor = CLR_INVALID, backColor = CLR_INVALID;
};
HelpSeen g_help;

// Reads the help window, then presses Esc.
void LookAtHelp(HWND help) {
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
    g_help.textColor = GetTextColor(dc);
    g_help.backColor = GetBkColor(dc);
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
    const auto pressHelp = [] { Click(IDC_FORMAT_HELP); };  // returns once the window closed
    EXPECT_TRUE(InModalLoop(nullptr, kHelpTitle, pressHelp, LookAtHelp));
    EXPECT_TRUE(g_help.shown);
    EXPECT_EQ(g_help.text, "Line one\r\nLine two\r\n");
    EXPECT_TRUE(g_help.readOnly);
    EXPECT_TRUE(g_help.focusInText);
    EXPECT_EQ(g_help.selStart, g_help.selEnd);  // nothing selected
    EXPECT_EQ(g_help.textColor, RGB(0, 0, 0));
    EXPECT_EQ(g_help.backColor, RGB(135, 206, 235));
    EXPECT_EQ(FindWindowA(nullptr, kHelpTitle), nullptr);

    // No page: no window at all.
    fs::remove("help/hlp_favourites.txt");
    g_help = {};
    EXPECT_FALSE(InModalLoop(nullptr, kHelpTitle, pressHelp, LookAtHelp));
    EXPECT_FALSE(g_help.shown);
    EXPECT_TRUE(EndsWith(Log(), "No help page help\\hlp_favourites.txt\r\n")) << Log();
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

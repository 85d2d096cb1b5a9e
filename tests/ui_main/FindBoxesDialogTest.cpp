// The main window's find boxes dialog, opened from the system menu or by
// Ctrl+F and driven inside its modal loop, over a made-up LAN on loopback:
// a substitute box, a program that is no box and a silent listener, each on
// an address of its own in 127.0.79.0/24. Every search is given a loopback
// range: the PC's own networks are only shown, never searched.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "box/BoxDefaults.h"
#include "resources/resource.h"
#include "tests/support/LanRig.h"
#include "tests/support/MainWindowUnderTest.h"
#include "tests/support/MessagePump.h"
#include "tests/support/StoreWriter.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserInput.h"
#include "tests/ui_main/ModalLoopDriver.h"
#include "tests/ui_main/WindowDriver.h"

namespace {

constexpr const char* kTitle = "Find boxes";
constexpr int kSearchMs = 20000;

class FindBoxesDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        StartWindowTests();
        s_dir = std::make_unique<TempDir>();
        s_lan = std::make_unique<LanRig>(s_dir->Path() / "box");
        std::string error;
        ASSERT_TRUE(s_lan->AddBox("127.0.79.2", {}, &error)) << error;
        ASSERT_TRUE(s_lan->AddListener("127.0.79.3", TestListener::Kind::kNotABox, &error))
            << error;
        ASSERT_TRUE(s_lan->AddListener("127.0.79.4", TestListener::Kind::kSilent, &error)) << error;
        WriteStoredBackup("backup", StoredName("127.0.79.2", "20200101100000", 1, s_lan->Port()),
                          {{"Settings", "config.txt", 1, "a\n"}});
        s_window = std::make_unique<MainWindowUnderTest>();
        ASSERT_TRUE(s_window->Open());
        SetForegroundWindow(Main());
        Pump();
    }
    static void TearDownTestSuite() {
        s_window.reset();
        s_lan.reset();
        s_dir.reset();
    }
    void SetUp() override {
        ASSERT_NE(s_window, nullptr);
        SetWindowTextA(s_window->Item(IDC_BOX_IP), "127.0.0.1");
        SetWindowTextA(s_window->Item(IDC_PASSWORD), box_defaults::kPassword);
        s_window->Dialog()->m_nPort = s_lan->Port();
    }

    static HWND Main() { return s_window->Dialog()->GetSafeHwnd(); }
    static std::string Port() { return std::to_string(s_lan->Port()); }

    // Opens the dialog by its menu command (or Ctrl+F), runs `script` in it
    // and, unless the script closed it, presses Esc.
    static void InFindDialog(const std::function<void(HWND)>& script, bool byKey = false) {
        EXPECT_TRUE(InModalLoop(
            nullptr, kTitle,
            [byKey] {
                if (byKey) {
                    EXPECT_TRUE(PressCtrlF());
                } else {
                    PostMessageA(Main(), WM_SYSCOMMAND, IDM_FIND_BOXES, 0);
                }
            },
            [&script](HWND dialog) {
                script(dialog);
                if (IsWindow(dialog)) {
                    SendKey(VK_ESCAPE);
                }
            }));
        EXPECT_EQ(FindWindowA(nullptr, kTitle), nullptr);
    }

    // Ctrl+F in the log console.
    static bool PressCtrlF() { return OfferCtrlKey(s_window->Item(IDC_LOG), 'F'); }

    // Types `range`, presses Search and waits for the search's end.
    static void Search(HWND dialog, const char* range) {
        SetWindowTextA(GetDlgItem(dialog, IDC_FIND_RANGE), range);
        // An empty box would search this PC's own networks: never from a test.
        if (Text(GetDlgItem(dialog, IDC_FIND_RANGE)) != range) {
            ADD_FAILURE() << "the range did not reach the dialog: " << range;
            return;
        }
        SendMessageA(GetDlgItem(dialog, IDC_FIND_SEARCH), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor(
            [dialog] {
                return Text(GetDlgItem(dialog, IDCANCEL)) == "Close" &&
                       Text(GetDlgItem(dialog, IDC_FIND_PROGRESS)).rfind("Tried ", 0) == 0;
            },
            kSearchMs))
            << Text(GetDlgItem(dialog, IDC_FIND_PROGRESS));
        Pump();
    }

    static std::unique_ptr<TempDir> s_dir;
    static std::unique_ptr<LanRig> s_lan;
    static std::unique_ptr<MainWindowUnderTest> s_window;
};

std::unique_ptr<TempDir> FindBoxesDialogTest::s_dir;
std::unique_ptr<LanRig> FindBoxesDialogTest::s_lan;
std::unique_ptr<MainWindowUnderTest> FindBoxesDialogTest::s_window;

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

// A double click at the middle of the list's row `row`, through the input queue.
void DoubleClickRow(HWND list, int row) {
    RECT item{};
    item.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
    // The row selected as a first click selects it, then the double click the
    // list itself turns into its NM_DBLCLK: no mouse timing, which a loaded
    // machine stretches past the double-click time.
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    Pump();
    WaitFor([list] { return !IsWindow(list); }, 5000);
}

}  // namespace

TEST_F(FindBoxesDialogTest, TheEntryIsThereLoggedOutAboveBackups) {
    const HMENU menu = GetSystemMenu(Main(), FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(GetMenuItemID(menu, count - 2), static_cast<UINT>(IDM_FIND_BOXES));
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_BACKUPS));
    char text[64] = {};
    GetMenuStringA(menu, IDM_FIND_BOXES, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Find boxes...\tCtrl+F");
    EXPECT_EQ(GetMenuState(menu, IDM_FIND_BOXES, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(FindBoxesDialogTest, ALoginSearchListsWhatAnsweredAndADoubleClickFillsBoxIp) {
    const int acceptedBefore = s_lan->Box(0).Stats().connectionsAccepted;
    std::vector<std::string> rows;
    InFindDialog(
        [&](HWND dialog) {
            // Nothing asked yet; the PC's own networks only shown.
            EXPECT_EQ(Text(GetDlgItem(dialog, IDC_FIND_PROGRESS)),
                      "Nothing is asked before Search.");
            const std::string own = Text(GetDlgItem(dialog, IDC_FIND_RANGES));
            EXPECT_TRUE(StartsWith(own, "Your networks: ") || StartsWith(own, "None of the PC"))
                << own;
            // The lines' words are the flow's, tested beside it.
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_FIND_LOGIN)));
            SendMessageA(GetDlgItem(dialog, IDC_FIND_LOGIN), BM_CLICK, 0, 0);
            Pump();
            EXPECT_EQ(s_lan->Box(0).Stats().connectionsAccepted, acceptedBefore);

            Search(dialog, "127.0.79.1-6");
            EXPECT_EQ(Text(GetDlgItem(dialog, IDC_FIND_PROGRESS)),
                      "Tried 6 of 6 address(es), 3 answered.");
            const HWND list = GetDlgItem(dialog, IDC_FIND_LIST);
            EXPECT_EQ(ListHeadings(list),
                      (std::vector<std::string>{"Address", "Answer", "Files", "Newest backup"}));
            rows = ListRows(list);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
            if (!rows.empty()) {
                DoubleClickRow(list, 0);
            }
        },
        true);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(StartsWith(rows[0], "127.0.79.2 | box | 7 file(s)")) << rows[0];
    EXPECT_TRUE(StartsWith(rows[1], "127.0.79.3 | answers, but not as a box")) << rows[1];
    EXPECT_TRUE(StartsWith(rows[2], "127.0.79.4 | took the connection")) << rows[2];
    EXPECT_EQ(Text(s_window->Item(IDC_BOX_IP)), "127.0.79.2");
    const std::string log = Text(s_window->Item(IDC_LOG));
    EXPECT_NE(log.find("PC > Find boxes: 3 of 6 address(es) answered on port " + Port() +
                       ", 1 as a box."),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("PC > Find boxes: 127.0.79.2 put into BOX IP."), std::string::npos) << log;
}

TEST_F(FindBoxesDialogTest, WithoutTheTickNothingLogsInAndCloseKeepsBoxIp) {
    const int loginsBefore = s_lan->Box(0).Stats().loginsAccepted;
    std::vector<std::string> rows;
    InFindDialog([&](HWND dialog) {
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_FIND_LOGIN_LINE)),
                  "No login: an open port is all a search sees.");
        Search(dialog, "127.0.79.2-3");
        rows = ListRows(GetDlgItem(dialog, IDC_FIND_LIST));
        // A row selected: OK puts it into BOX IP; Close does not.
        ListView_SetItemState(GetDlgItem(dialog, IDC_FIND_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(StartsWith(rows[0], "127.0.79.2 | port open (not logged in)")) << rows[0];
    EXPECT_EQ(s_lan->Box(0).Stats().loginsAccepted, loginsBefore);
    EXPECT_EQ(Text(s_window->Item(IDC_BOX_IP)), "127.0.0.1");
}

TEST_F(FindBoxesDialogTest, ARangeThatDoesNotReadSearchesNothing) {
    InFindDialog([&](HWND dialog) {
        SetWindowTextA(GetDlgItem(dialog, IDC_FIND_RANGE), "127.0.0.300");
        SendMessageA(GetDlgItem(dialog, IDC_FIND_SEARCH), BM_CLICK, 0, 0);
        Pump();
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_FIND_PROGRESS)), "Nothing is asked before Search.");
        EXPECT_EQ(Text(GetDlgItem(dialog, IDCANCEL)), "Close");
    });
}

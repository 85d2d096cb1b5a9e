// The real main window, made from its template by the framework, in a fresh
// working directory; its session talks to a scripted box over loopback.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <objidl.h>

#include <gdiplus.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Version.h"
#include "box/BoxDefaults.h"
#include "box/BoxSession.h"
#include "box/NetworkIdentity.h"
#include "box/WireFormat.h"
#include "framework/CWinApp.h"
#include "resources/resource.h"
#include "tests/support/ControlColors.h"
#include "tests/support/MainWindowUnderTest.h"
#include "tests/support/ScriptedBox.h"
#include "tests/support/TempDir.h"
#include "tests/ui_main/WindowDriver.h"
#include "ui/flow/LinkState.h"
#include "ui/main/MainDialog.h"

namespace fs = std::filesystem;

namespace {

// Writes a PNG of one colour with GDI+.
bool WriteSolidPng(const std::string& path, int width, int height, COLORREF color) {
    using namespace Gdiplus::DllExports;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        return false;
    }
    std::vector<uint32_t> pixels(
        static_cast<size_t>(width) * height,
        0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
    Gdiplus::GpBitmap* bitmap = nullptr;
    bool ok =
        GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &bitmap) == Gdiplus::Ok;
    if (ok) {
        // The PNG encoder's class id.
        const CLSID png = {
            0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
        const std::wstring wide(path.begin(), path.end());
        ok = GdipSaveImageToFile(bitmap, wide.c_str(), &png, nullptr) == Gdiplus::Ok;
        GdipDisposeImage(bitmap);
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

// A picture of one known colour per state, so the drawn state can be told.
const COLORREF kStateColors[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};

// Most tests look at one window made at the start of the suite, in a folder with
// status pictures and without a settings file; the tests that need a window of
// their own (other settings, closing) open one.
class MainDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        StartWindowTests();
        s_dir = std::make_unique<TempDir>();
        fs::create_directory("status");
        for (int state = 1; state <= 3; ++state) {
            const std::string name = "status/CONN_" + std::to_string(state) + ".PNG";
            ASSERT_TRUE(WriteSolidPng(name, 169, 42, kStateColors[state - 1]));
        }
        s_shared = std::make_unique<MainWindowUnderTest>();
        ASSERT_TRUE(s_shared->Open());
        Pump();
    }

    static void TearDownTestSuite() {
        s_shared.reset();
        s_dir.reset();
    }

    void UseShared() {
        ASSERT_NE(s_shared->Dialog(), nullptr);
        dialog = s_shared->Dialog();
        g_pMainDialog = dialog;
    }

    void Open() {
        ASSERT_TRUE(own.Open());
        dialog = own.Dialog();
        Pump();
    }

    void Close() {
        own.Close();
        dialog = nullptr;
        Pump();
    }

    void TearDown() override { Close(); }

    HWND Item(int id) const { return GetDlgItem(dialog->GetSafeHwnd(), id); }

    static std::unique_ptr<TempDir> s_dir;
    static std::unique_ptr<MainWindowUnderTest> s_shared;

    MainWindowUnderTest own;
    MainDialog* dialog = nullptr;  // the shared window or `own`'s
};

std::unique_ptr<TempDir> MainDialogTest::s_dir;
std::unique_ptr<MainWindowUnderTest> MainDialogTest::s_shared;

}  // namespace

TEST_F(MainDialogTest, ControlsAreBoundAndStartAsLaidOut) {
    UseShared();
    const HWND dlg = dialog->GetSafeHwnd();
    int children = 0;
    for (HWND w = GetWindow(dlg, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        ++children;
    }
    EXPECT_EQ(children, 22);
    EXPECT_EQ(dialog->m_btnLogin.GetSafeHwnd(), Item(IDC_LOGIN));
    EXPECT_EQ(dialog->m_editLog.GetSafeHwnd(), Item(IDC_LOG));
    EXPECT_EQ(dialog->m_editText.GetSafeHwnd(), Item(IDC_TEXT));
    EXPECT_EQ(dialog->m_treeBox.GetSafeHwnd(), Item(IDC_TREE_BOX));
    EXPECT_EQ(dialog->m_progress.GetSafeHwnd(), Item(IDC_PROGRESS));
    EXPECT_EQ(CWnd::FromHandlePermanent(Item(IDC_LOG)), &dialog->m_editLog);

    EXPECT_FALSE(IsWindowEnabled(Item(IDC_DOWNLOAD)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_UPLOAD)));
    EXPECT_EQ(SendMessageA(Item(IDC_PASSWORD), EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(Item(IDC_LOG), EM_GETLIMITTEXT, 0, 0), 0x100000);
    EXPECT_EQ(SendMessageA(Item(IDC_TEXT), EM_GETLIMITTEXT, 0, 0), 0x200000);
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(Text(Item(IDC_LOGIN)), "Login");
    for (int id : {IDC_UPLOAD, IDC_DOWNLOAD, IDC_SAVE, IDC_FORMAT_HELP, IDC_CLEAR, IDOK}) {
        EXPECT_NE(SendMessageA(Item(id), BM_GETIMAGE, IMAGE_ICON, 0), 0) << id;
    }
    const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(
        SendMessageA(Item(IDC_TREE_BOX), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 3);
    EXPECT_EQ(images, reinterpret_cast<HIMAGELIST>(
                          SendMessageA(Item(IDC_TREE_LOCAL), TVM_GETIMAGELIST, TVSIL_NORMAL, 0)));
    EXPECT_EQ(GetFocus(), Item(IDC_LOG));
    // The system menu carries the About item.
    const HMENU menu = GetSystemMenu(dlg, FALSE);
    char text[64] = {};
    GetMenuStringA(menu, IDM_ABOUTBOX, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&About VELQO_LAN_MM...");
}

TEST_F(MainDialogTest, LogStartsWithBannerVersionAndAddressLines) {
    UseShared();
    std::string host, address;
    ASSERT_EQ(GetLocalHostName(&host), 0);
    ASSERT_EQ(GetHostAddress(host.c_str(), &address), 0);
    const std::string log = Text(Item(IDC_LOG));
    const size_t version = log.find(std::string("\r\nVersion: v") + version::kText + "\r\n");
    ASSERT_NE(version, std::string::npos);
    EXPECT_NE(log.substr(0, version).find(".exe"),
              std::string::npos);  // the banner names the program
    const std::string rest = log.substr(version + 19);
    if (address == "127.0.0.1") {
        EXPECT_EQ(rest, "Network NOT connected , please check !\r\n");
        EXPECT_EQ(dialog->LinkState(), link_state::kNoNetwork);
    } else {
        EXPECT_EQ(rest, "Local IP is " + address + " .\r\n");
        EXPECT_EQ(dialog->LinkState(), link_state::kNetwork);
    }
    const ControlColors c =
        AskControlColors(dialog->GetSafeHwnd(), Item(IDC_LOG), WM_CTLCOLORSTATIC);
    EXPECT_EQ(c.text, RGB(255, 255, 255));
    EXPECT_EQ(c.back, RGB(0, 50, 0));
    EXPECT_EQ(c.brush, RGB(0, 50, 0));
    const ControlColors panel =
        AskControlColors(dialog->GetSafeHwnd(), Item(IDC_TEXT), WM_CTLCOLOREDIT);
    EXPECT_EQ(panel.text, RGB(0, 0, 255));
    EXPECT_EQ(panel.back, RGB(230, 230, 255));
    EXPECT_EQ(panel.brush, RGB(230, 230, 255));
}

TEST_F(MainDialogTest, SettingsFillTheFieldsAndDefaultsStandWithoutThem) {
    UseShared();  // made without a settings file
    EXPECT_EQ(Text(Item(IDC_BOX_IP)), box_defaults::kAddress);
    EXPECT_EQ(Text(Item(IDC_PASSWORD)), box_defaults::kPassword);

    const TempDir dir;
    fs::create_directory("config");
    // Values longer than the fields are cut to 32 characters.
    WriteFile("config/config.ini",
              "BOXIP=" + std::string(100, '1') + "\nPORT=04321\nPASSWORD=2468\n");
    Open();
    EXPECT_EQ(Text(Item(IDC_BOX_IP)), std::string(32, '1'));
    EXPECT_EQ(Text(Item(IDC_PASSWORD)), "2468");
    EXPECT_EQ(dialog->m_nPort, box_defaults::kPort);  // the window has no port control
    Close();
}

TEST_F(MainDialogTest, LogColorCodesRecolorTheWholeConsole) {
    UseShared();
    struct Case {
        int code;
        COLORREF color;
    } cases[] = {{1, RGB(255, 0, 0)},     {0, RGB(255, 255, 255)},   {2, RGB(0, 0, 128)},
                 {3, RGB(222, 222, 222)}, {255, RGB(222, 222, 222)}, {-1, RGB(222, 222, 222)}};
    for (const Case& c : cases) {
        MainDialog::AppendLog("PC > a line\n", c.code);
        EXPECT_EQ(AskControlColors(dialog->GetSafeHwnd(), Item(IDC_LOG), WM_CTLCOLORSTATIC).text,
                  c.color)
            << c.code;
    }
    const std::string log = Text(Item(IDC_LOG));
    EXPECT_EQ(log.substr(log.size() - 14), "\nPC > a line\r\n");
}

TEST_F(MainDialogTest, ConsoleRefusesTextPastItsLimit) {
    UseShared();
    EXPECT_EQ(SendMessageA(Item(IDC_LOG), EM_GETLIMITTEXT, 0, 0), 0x100000);
    // The same refusal on a smaller limit: a megabyte takes Wine's edit control
    // minutes to lay out.
    SendMessageA(Item(IDC_LOG), EM_LIMITTEXT, 4096, 0);
    std::string full;
    while (full.size() + 64 <= 4096) {
        full += std::string(62, 'x') + "\r\n";
    }
    full += std::string(4096 - full.size(), 'y');
    SetWindowTextA(Item(IDC_LOG), full.c_str());
    ASSERT_EQ(GetWindowTextLengthA(Item(IDC_LOG)), 4096);
    MainDialog::AppendLog("PC > one more\n", 0);
    EXPECT_EQ(Text(Item(IDC_LOG)), full);
}

TEST_F(MainDialogTest, ProgressSinkMovesTheBar) {
    UseShared();
    EXPECT_EQ(MainDialog::SetProgress(42), 0);
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 42);
    EXPECT_EQ(MainDialog::SetProgress(100), 42);
}

TEST_F(MainDialogTest, ClosingSendsLogoutOnlyWhenLoggedIn) {
    ScriptedBox box;
    box.Read(12).Write(wire::EncodeReply({wire::kToolVersion, 0, 1}));
    box.Start();
    ASSERT_TRUE(own.Socket().Connect("127.0.0.1", box.Port(), 5000));
    ASSERT_EQ(own.Session().Login("7351"), 1);
    const TempDir dir;
    Open();
    Close();
    EXPECT_EQ(own.Session().State(), BoxSession::kNotLoggedIn);
    Open();
    Close();  // not logged in now: nothing more
    own.Socket().Close();
    const auto received = box.FirstReceived();
    ASSERT_EQ(received.size(), 16u);
    EXPECT_EQ(received[12], wire::kCmdLogout);
}

TEST_F(MainDialogTest, StatusPictureIsDrawnForTheLinkState) {
    UseShared();
    ShowWindow(dialog->GetSafeHwnd(), SW_SHOW);
    UpdateWindow(dialog->GetSafeHwnd());
    Pump();
    RECT area;
    GetWindowRect(Item(IDC_STATUS), &area);
    const POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, middle.x, middle.y), kStateColors[dialog->LinkState() - 1]);
    ReleaseDC(nullptr, screen);
    // Read back through the control's own window DC: what the screen shows is
    // brought up to date only later, as messages are processed.
    HDC control = GetWindowDC(Item(IDC_STATUS));
    for (int state : {3, 1, 2}) {
        dialog->DrawStatusPicture(state);
        EXPECT_EQ(GetPixel(control, 5, 5), kStateColors[state - 1]) << state;
    }
    ReleaseDC(Item(IDC_STATUS), control);
}

// The icon button's drop-down menu on a shown dialog: opened by a real click (input
// injected at the system's input queue), a command chosen by key or the menu
// dismissed while it is open, the command received by its owner.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "HandleCensus.h"
#include "MenuDemoDialog.h"
#include "MenuTestIds.h"
#include "framework/CWnd.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PixelCanvas.h"
#include "tests/support/UserInput.h"
#include "ui/menu/IconMenu.h"

namespace {

// A window that only records the commands it receives.
class CommandSink : public CWnd {
public:
    std::vector<UINT> m_commands;

protected:
    DECLARE_MESSAGE_MAP()
    void OnMenuCommand(UINT id) { m_commands.push_back(id); }
};

BEGIN_MESSAGE_MAP(CommandSink, CWnd)
ON_COMMAND_RANGE(ID_OPEN, ID_NOT_ON_TOOLBAR, 0, &CommandSink::OnMenuCommand)
END_MESSAGE_MAP()

// What a thread timer saw while the drop-down was open, and the key it then pressed.
struct OpenMenuProbe {
    static inline OpenMenuProbe* s_active = nullptr;

    MenuDemoDialog* dlg = nullptr;
    WORD key = 0;
    bool sawOpen = false;
    bool showingWhileOpen = false;
    bool drawnSunken = false;  // the button's left edge in the shadow colour
    int redOnScreen = 0;       // pixels of the red tool bar image in the open menu
    UINT_PTR timer = 0;

    void Arm(MenuDemoDialog* dialog, WORD pressed) {
        dlg = dialog;
        key = pressed;
        s_active = this;
        timer = ::SetTimer(nullptr, 0, 300, &OpenMenuProbe::Tick);
    }
    void Disarm() {
        ::KillTimer(nullptr, timer);
        s_active = nullptr;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        OpenMenuProbe* self = s_active;
        if (self == nullptr || self->sawOpen) {
            return;
        }
        HWND popup = ::FindWindowA("#32768", nullptr);
        if (popup == nullptr || !::IsWindowVisible(popup)) {
            return;  // not open yet
        }
        self->sawOpen = true;
        self->showingWhileOpen = self->dlg->m_btnTools.IsMenuShowing() != FALSE;
        const PixelCanvas face(self->dlg->m_btnTools);
        self->drawnSunken = face.At(0, face.Height() / 2) == ::GetSysColor(COLOR_BTNSHADOW);
        // The menu as it shows on the screen: its items painted by the icon menu.
        RECT shown{};
        ::GetWindowRect(popup, &shown);
        PixelCanvas screen(shown.right - shown.left, shown.bottom - shown.top);
        HDC desktop = ::GetDC(nullptr);
        ::BitBlt(screen.Dc(), 0, 0, screen.Width(), screen.Height(), desktop, shown.left, shown.top,
                 SRCCOPY);
        ::ReleaseDC(nullptr, desktop);
        self->redOnScreen = screen.Count(screen.All(), RGB(255, 0, 0));
        SendKey(self->key);
    }
};

class DropDownTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        s_dlg = new MenuDemoDialog;
        ASSERT_TRUE(s_dlg->Create());
        ::SetWindowPos(*s_dlg, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(*s_dlg);
        PumpMessages();
        s_sink = new CommandSink;
        ASSERT_TRUE(s_sink->CreateEx(0, "STATIC", "", WS_POPUP, RECT{0, 0, 1, 1}, nullptr, 0));
    }
    static void TearDownTestSuite() {
        delete s_sink;
        s_dlg->DestroyWindow();
        PumpMessages();
        delete s_dlg;
    }
    void SetUp() override {
        s_dlg->m_commands.clear();
        s_dlg->m_nToolsClicks = 0;
        s_sink->m_commands.clear();
    }

    // Clicks the button for real; once the menu is open, presses `key`.
    static OpenMenuProbe ClickAndPress(WORD key) {
        OpenMenuProbe probe;
        ::SetForegroundWindow(*s_dlg);
        probe.Arm(s_dlg, key);
        SendClickAtCentre(s_dlg->m_btnTools);
        WaitFor([&] { return probe.sawOpen && !s_dlg->m_btnTools.IsMenuShowing(); });
        probe.Disarm();
        PumpMessages();
        return probe;
    }

    static MenuDemoDialog* s_dlg;
    static CommandSink* s_sink;
};

MenuDemoDialog* DropDownTest::s_dlg = nullptr;
CommandSink* DropDownTest::s_sink = nullptr;

}  // namespace

TEST_F(DropDownTest, RealClickOpensTheMenuAKeyChoosesAndTheNamedOwnerGetsTheCommand) {
    ASSERT_TRUE(s_dlg->AttachTestMenu(*s_sink));
    const OpenMenuProbe probe = ClickAndPress('S');  // "&Save all"
    ASSERT_TRUE(probe.sawOpen);
    EXPECT_TRUE(probe.showingWhileOpen);  // drawn pressed while the menu is open
    EXPECT_TRUE(probe.drawnSunken);
    EXPECT_GT(probe.redOnScreen, 50);  // the image of "&Open", a 10 x 9 red block
    EXPECT_FALSE(s_dlg->m_btnTools.IsMenuShowing());
    ASSERT_TRUE(WaitFor([] { return !s_sink->m_commands.empty(); }));
    EXPECT_EQ(s_sink->m_commands, std::vector<UINT>{ID_SAVE});
    EXPECT_TRUE(s_dlg->m_commands.empty());
    EXPECT_EQ(s_dlg->m_nToolsClicks, 1);  // the parent still hears of the click
}

TEST_F(DropDownTest, DismissedMenuPostsNothing) {
    ASSERT_TRUE(s_dlg->AttachTestMenu(*s_sink));
    const OpenMenuProbe probe = ClickAndPress(VK_ESCAPE);
    ASSERT_TRUE(probe.sawOpen);
    for (int i = 0; i < 20; ++i) {
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(s_sink->m_commands.empty());
    EXPECT_TRUE(s_dlg->m_commands.empty());
    EXPECT_EQ(s_dlg->m_nToolsClicks, 1);
}

TEST_F(DropDownTest, WithoutANamedOwnerTheCommandGoesToTheButtonsParent) {
    ASSERT_TRUE(s_dlg->AttachTestMenu(nullptr));
    const OpenMenuProbe probe = ClickAndPress('R');  // "&Refresh"
    ASSERT_TRUE(probe.sawOpen);
    ASSERT_TRUE(WaitFor([] { return !s_dlg->m_commands.empty(); }));
    EXPECT_EQ(s_dlg->m_commands, std::vector<UINT>{ID_REFRESH});
    EXPECT_TRUE(s_sink->m_commands.empty());
}

TEST_F(DropDownTest, MeasuringAndMnemonicsAreForwardedForRegisteredMenusOnly) {
    ASSERT_TRUE(s_dlg->AttachTestMenu(*s_sink));
    IconButton& btn = s_dlg->m_btnTools;
    CMenu* tools = btn.GetDropDownMenu().GetSubMenu(0);
    ASSERT_NE(tools, nullptr);
    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu(MF_STRING, ID_OPEN, "&Open");

    struct Row {
        HMENU menu;
        LRESULT expected;
    };
    for (const Row& row :
         {Row{tools->m_hMenu, MAKELRESULT(0, MNC_EXECUTE)}, Row{plain.m_hMenu, 0}}) {
        EXPECT_EQ(btn.SendMessage(WM_MENUCHAR, MAKEWPARAM('o', MF_POPUP),
                                  reinterpret_cast<LPARAM>(row.menu)),
                  row.expected);
    }
    const auto* record = static_cast<IconMenu*>(tools)->GetRecord(0);
    for (HMENU menu : {tools->m_hMenu, plain.m_hMenu}) {
        MEASUREITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemID = static_cast<UINT>(HandleToUlong(menu));
        item.itemData = reinterpret_cast<ULONG_PTR>(record);
        btn.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(item.itemHeight >= 19, menu == tools->m_hMenu);
    }
}

TEST(DropDownRelease, TheButtonReleasesItsMenuTreeWhenItGoes) {
    MenuDemoDialog::LoadToolbarImages();
    const int menusBefore = HandleCensus::Menus();
    std::vector<HMENU> popups;
    {
        IconButton button;
        EXPECT_EQ(button.GetDropDownMenu().m_hMenu, nullptr);
        ASSERT_TRUE(button.AttachMenu(IDR_TEST_MENU, nullptr));
        IconMenu& menu = button.GetDropDownMenu();
        popups = menu.GetSubMenuHandles();
        ASSERT_EQ(popups.size(), 2u);
        EXPECT_TRUE(IconMenu::IsRegisteredMenu(popups[0]));
        EXPECT_EQ(HandleCensus::Menus(), menusBefore + 4);
    }
    for (HMENU popup : popups) {
        EXPECT_FALSE(IconMenu::IsRegisteredMenu(popup));
        EXPECT_FALSE(::IsMenu(popup));
    }
    EXPECT_EQ(HandleCensus::Menus(), menusBefore);
}

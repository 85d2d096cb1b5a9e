// Message maps, reflection and owner drawing on a real dialog.
#include <gtest/gtest.h>

#include "TestDialog.h"
#include "tests/support/DialogFixture.h"
#include "tests/support/PixelCanvas.h"

namespace {

class DispatchTest : public DialogFixture<TestDialog> {};

// The pixel at (x, y) of the window as it paints itself for WM_PRINTCLIENT.
COLORREF PrintedPixel(HWND window, int x, int y) {
    return PixelCanvas(window, PRF_CLIENT | PRF_ERASEBKGND).At(x, y);
}

// A derived dialog whose map answers WM_APP + 1 its own way; everything else
// comes from TestDialog's map.
class DerivedDialog : public TestDialog {
public:
    LRESULT OnAppMessageAgain(WPARAM wParam, LPARAM lParam) {
        return static_cast<LRESULT>(wParam) * lParam;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDialog, TestDialog)
ON_MESSAGE(WM_APP + 1, &DerivedDialog::OnAppMessageAgain)
END_MESSAGE_MAP()

// A dialog that answers the colour of static controls itself and leaves the rest
// to the framework's standard handler (which asks the child).
class StaticColorDialog : public TestDialog {
public:
    StaticColorDialog() : yellow(RGB(255, 255, 0)) {}
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT kind) {
        if (kind == CTLCOLOR_STATIC) {
            return yellow;
        }
        return CWnd::OnCtlColor(dc, child, kind);
    }
    CBrush yellow;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(StaticColorDialog, TestDialog)
ON_WM_CTLCOLOR(&StaticColorDialog::OnCtlColor)
END_MESSAGE_MAP()

}  // namespace

TEST_F(DispatchTest, CommandsMessagesAndNotificationsReachTheirHandlers) {
    ::SendMessageA(Item(IDC_PLAIN), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.SendMessage(WM_APP + 1, 3, 4), 7);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, 0), 0);
    // A code that no entry lists for the id reaches no handler.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLAIN, BN_SETFOCUS),
                    reinterpret_cast<LPARAM>(Item(IDC_PLAIN)));

    NMHDR header{Item(IDC_NAME), IDC_NAME, kCustomNotify};
    EXPECT_EQ(dlg.SendMessage(WM_NOTIFY, IDC_NAME, reinterpret_cast<LPARAM>(&header)), 77);
    NMHDR otherId{Item(IDC_CODE), IDC_CODE, kCustomNotify};
    EXPECT_EQ(dlg.SendMessage(WM_NOTIFY, IDC_CODE, reinterpret_cast<LPARAM>(&otherId)), 0);

    EXPECT_EQ(dlg.m_log, (EventLog{"plain:parent", "file:202", "file:201", "notify:1001"}));
}

TEST(DispatchOrder, DerivedMapComesBeforeItsBase) {
    AfxInitCommonControls();
    DerivedDialog dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.SendMessage(WM_APP + 1, 3, 4), 12);
    ::SendMessageA(dlg.GetDlgItem(IDC_PLAIN), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.m_log, EventLog{"plain:parent"});
    dlg.DestroyWindow();
}

TEST_F(DispatchTest, ChildThatConsumesAClickHidesItFromTheParent) {
    ::SendMessageA(Item(IDC_CONSUME), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.m_log, EventLog{"consume:child"});
}

TEST_F(DispatchTest, ChildThatPassesAClickOnSeesItFirst) {
    ::SendMessageA(Item(IDC_PASS), BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.m_log, (EventLog{"pass:child", "pass:parent"}));
}

TEST_F(DispatchTest, ControlColorRequestReachesTheChildsCtlColor) {
    HDC memory = ::CreateCompatibleDC(nullptr);
    const LRESULT brush = dlg.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(memory),
                                          reinterpret_cast<LPARAM>(Item(IDC_COLORED)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dlg.m_colored.m_brush.GetSafeHandle());
    EXPECT_EQ(dlg.m_colored.m_nLastKind, static_cast<UINT>(CTLCOLOR_EDIT));
    EXPECT_EQ(::GetTextColor(memory), RGB(255, 0, 0));
    EXPECT_EQ(::GetBkColor(memory), RGB(0, 0, 255));

    // A child without a handler gets the dialog's own answer.
    const LRESULT other = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory),
                                          reinterpret_cast<LPARAM>(Item(IDC_READONLY)));
    EXPECT_NE(reinterpret_cast<HBRUSH>(other), dlg.m_colored.m_brush.GetSafeHandle());
    ::DeleteDC(memory);
}

TEST_F(DispatchTest, EditPaintsWithTheColorsItsCtlColorChose) {
    ::SetWindowTextA(Item(IDC_COLORED), "");
    const int before = dlg.m_colored.m_nRequests;
    EXPECT_EQ(PrintedPixel(Item(IDC_COLORED), 3, 3), RGB(0, 0, 255));
    EXPECT_GT(dlg.m_colored.m_nRequests, before);
}

TEST(DispatchParentColor, ParentMapAnswersFirstAndItsBaseAsksTheChild) {
    AfxInitCommonControls();
    StaticColorDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HDC memory = ::CreateCompatibleDC(nullptr);
    const LRESULT forStatic =
        dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_COLORED)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(forStatic), dlg.yellow.GetSafeHandle());
    const LRESULT forEdit = dlg.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(memory),
                                            reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_COLORED)));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(forEdit), dlg.m_colored.m_brush.GetSafeHandle());
    ::DeleteDC(memory);
    dlg.DestroyWindow();
}

TEST_F(DispatchTest, OwnerDrawnButtonPaintsThroughDrawItem) {
    EXPECT_EQ(PrintedPixel(Item(IDC_OWNERDRAW), 2, 2), RGB(255, 0, 0));
    EXPECT_GT(dlg.m_red.m_nDraws, 0);
}

TEST_F(DispatchTest, BitmapButtonPaintsItsBitmap) {
    EXPECT_EQ(PrintedPixel(Item(IDC_BITMAP), 1, 1), RGB(0, 200, 0));
}

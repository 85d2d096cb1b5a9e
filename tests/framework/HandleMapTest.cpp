// The permanent maps from window and menu handles to their objects, and the
// routing of owner-drawn menu items to their menu object.
#include <gtest/gtest.h>

#include "TestDialog.h"
#include "TestSupport.h"

namespace {

// Records what the owner-draw hooks receive.
class RecordingMenu : public CMenu {
public:
    void MeasureItem(MEASUREITEMSTRUCT* item) override {
        ++m_nMeasured;
        m_nLastMeasuredId = item->itemID;
        item->itemWidth = 80;
        item->itemHeight = 21;
    }
    void DrawItem(DRAWITEMSTRUCT* item) override {
        ++m_nDrawn;
        m_nLastDrawnData = item->itemData;
    }
    int m_nMeasured = 0;
    int m_nDrawn = 0;
    UINT m_nLastMeasuredId = 0;
    ULONG_PTR m_nLastDrawnData = 0;
};

// Notes the end of its window in a log that outlives the object.
class EndNotingDialog : public TestDialog {
public:
    explicit EndNotingDialog(EventLog* ends) : m_pEnds(ends) {}
    LRESULT OnDestroy(WPARAM, LPARAM) {
        m_pEnds->push_back("destroy:" + std::to_string(m_nNumber));
        return Default();
    }
    void PostNcDestroy() override { m_pEnds->push_back("ncdestroy"); }

private:
    EventLog* m_pEnds;  // not owned
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EndNotingDialog, TestDialog)
ON_MESSAGE(WM_DESTROY, &EndNotingDialog::OnDestroy)
END_MESSAGE_MAP()

int g_ticks = 0;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (++g_ticks >= 3) {
        ::EndMenu();
    }
}

}  // namespace

TEST(WindowMap, BoundWindowsAreFoundUntilTheyAreDestroyed) {
    AfxInitCommonControls();
    TestDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND dialogHwnd = dlg.m_hWnd;
    HWND consumeHwnd = dlg.GetDlgItem(IDC_CONSUME);
    EXPECT_EQ(CWnd::FromHandlePermanent(dialogHwnd), &dlg);
    EXPECT_EQ(CWnd::FromHandlePermanent(consumeHwnd), &dlg.m_consume);
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.GetDlgItem(IDC_PLAIN)), nullptr);
    EXPECT_EQ(dlg.m_consume.GetParent(), &dlg);

    dlg.DestroyWindow();
    EXPECT_FALSE(::IsWindow(dialogHwnd));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_consume.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(dialogHwnd), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(consumeHwnd), nullptr);
}

TEST(WindowMap, OwnedDialogEndsThroughItsDerivedHandlersWhileWhole) {
    AfxInitCommonControls();
    EventLog ends;
    HWND hwnd = nullptr;
    {
        OwnedWindow<EndNotingDialog> dlg(&ends);
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.m_hWnd;
        EXPECT_TRUE(ends.empty());
    }
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    // The derived handler ran with the derived object's data still there.
    EXPECT_EQ(ends, (EventLog{"destroy:42", "ncdestroy"}));
}

TEST(WindowMap, ObjectGoingFirstLeavesASubclassedWindowWorking) {
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    {
        CEdit object;
        ASSERT_TRUE(object.SubclassWindow(edit));
        EXPECT_EQ(CWnd::FromHandlePermanent(edit), &object);
        // One window, one object.
        CEdit second;
        EXPECT_FALSE(second.SubclassWindow(edit));
    }
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    ::SetWindowTextA(edit, "still here");
    char text[32] = {};
    ::GetWindowTextA(edit, text, sizeof(text));
    EXPECT_STREQ(text, "still here");
    ::DestroyWindow(edit);
}

TEST(WindowMap, CreatedWindowIsDestroyedWithItsObject) {
    AfxInitCommonControls();
    HWND tip = nullptr;
    {
        CToolTipCtrl tooltip;
        ASSERT_TRUE(tooltip.Create(nullptr));
        tip = tooltip.m_hWnd;
        EXPECT_TRUE(::IsWindow(tip));
        EXPECT_EQ(CWnd::FromHandlePermanent(tip), &tooltip);
    }
    EXPECT_FALSE(::IsWindow(tip));
    EXPECT_EQ(CWnd::FromHandlePermanent(tip), nullptr);
}

TEST(MenuMap, MenusAreFoundAndSubmenuObjectsLetGoWithTheirParent) {
    CMenu top;
    ASSERT_TRUE(top.LoadMenu(IDM_TEST));
    EXPECT_EQ(CMenu::FromHandlePermanent(top.m_hMenu), &top);
    HMENU subHandle = top.GetSubMenuHandle(0);
    ASSERT_NE(subHandle, nullptr);
    CMenu sub;
    ASSERT_TRUE(sub.Attach(subHandle, false));
    EXPECT_EQ(top.GetSubMenu(0), &sub);
    CString text;
    sub.GetMenuString(1, text, MF_BYPOSITION);
    EXPECT_EQ(text, "E&xit");

    HMENU topHandle = top.m_hMenu;
    EXPECT_TRUE(top.DestroyMenu());
    EXPECT_FALSE(::IsMenu(topHandle));
    EXPECT_FALSE(::IsMenu(subHandle));
    EXPECT_EQ(sub.m_hMenu, nullptr);
    EXPECT_EQ(CMenu::FromHandlePermanent(subHandle), nullptr);
    EXPECT_EQ(CMenu::FromHandlePermanent(topHandle), nullptr);
}

TEST(MenuMap, BorrowedMenuOutlivesItsObjectAndOwnedOneDoesNot) {
    HMENU borrowed = ::CreatePopupMenu();
    HMENU owned = nullptr;
    {
        CMenu a;
        ASSERT_TRUE(a.Attach(borrowed, false));
        CMenu b;
        ASSERT_TRUE(b.CreatePopupMenu());
        owned = b.m_hMenu;
    }
    EXPECT_TRUE(::IsMenu(borrowed));
    EXPECT_FALSE(::IsMenu(owned));
    ::DestroyMenu(borrowed);
}

TEST(MenuRouting, OwnerDrawnItemsReachTheirMenuObject) {
    AfxInitCommonControls();
    TestDialog dlg;
    ASSERT_TRUE(dlg.Create());
    RecordingMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    static int itemTag = 0;
    ASSERT_TRUE(menu.AppendMenu(MF_OWNERDRAW, 300, &itemTag));

    MEASUREITEMSTRUCT measure{ODT_MENU, 0, 300, 0, 0, reinterpret_cast<ULONG_PTR>(&itemTag)};
    dlg.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(menu.m_nMeasured, 1);
    EXPECT_EQ(measure.itemWidth, 80u);

    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = 300;
    draw.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
    draw.itemData = reinterpret_cast<ULONG_PTR>(&itemTag);
    draw.hDC = ::GetDC(dlg.m_hWnd);
    dlg.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    ::ReleaseDC(dlg.m_hWnd, draw.hDC);
    EXPECT_EQ(menu.m_nDrawn, 1);
    EXPECT_EQ(menu.m_nLastDrawnData, reinterpret_cast<ULONG_PTR>(&itemTag));

    // A menu the system shows asks its owner to measure the item.
    g_ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &CloseMenu);
    menu.TrackPopupMenu(TPM_RETURNCMD | TPM_NONOTIFY, 50, 50, &dlg);
    ::KillTimer(nullptr, timer);
    EXPECT_GE(menu.m_nMeasured, 2);
    EXPECT_EQ(menu.m_nLastMeasuredId, 300u);
    dlg.DestroyWindow();
}

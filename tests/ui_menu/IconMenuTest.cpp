// The icon menu's object model on real menus: templates, records, the popup
// registry, mnemonics, re-synchronisation and the release of everything it made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HandleCensus.h"
#include "MenuTestIds.h"
#include "framework/CClientDC.h"
#include "framework/CFont.h"
#include "ui/menu/IconMenu.h"
#include "ui/menu/MenuPlatform.h"

namespace {

std::string Text(IconMenu& menu, int pos) {
    CString text;
    menu.GetItemText(static_cast<UINT>(pos), text, MF_BYPOSITION);
    return text.Str();
}

IconMenu* PopupAt(const CMenu& menu, int pos) {
    CMenu* object = menu.GetSubMenu(pos);
    return object != nullptr && object->IsKindOf(RUNTIME_CLASS(IconMenu))
               ? static_cast<IconMenu*>(object)
               : nullptr;
}

// GetMenuState cannot tell: for a popup its high byte is the popup's item count.
bool IsOwnerDrawn(const CMenu& menu, int pos) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoA(menu.m_hMenu, static_cast<UINT>(pos), TRUE, &info) &&
           (info.fType & MFT_OWNERDRAW) != 0;
}

bool IsOwnerDrawnWithRecord(const IconMenu& menu, int pos) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    return ::GetMenuItemInfoA(menu.m_hMenu, static_cast<UINT>(pos), TRUE, &info) &&
           (info.fType & MFT_OWNERDRAW) != 0 &&
           info.dwItemData == reinterpret_cast<ULONG_PTR>(menu.GetRecord(pos));
}

// The label before the tab, measured in the menu font as the padding measured it.
int LabelWidth(const std::string& text) {
    CFont font;
    MenuPlatform::CreateMenuFont(font);
    CClientDC dc(MenuPlatform::HostWindow());
    dc.SelectObject(&font);
    const std::string label = text.substr(0, text.find('\t'));
    return dc.GetTextExtent(label.c_str(), static_cast<int>(label.size())).cx;
}

class IconMenuTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_menu.LoadTemplate(IDR_TEST_MENU)); }
    IconMenu m_menu;
};

}  // namespace

TEST(IconMenuClass, RunTimeClassTellsAnIconMenuFromAPlainMenu) {
    IconMenu icons;
    CMenu plain;
    EXPECT_TRUE(icons.IsKindOf(RUNTIME_CLASS(IconMenu)));
    EXPECT_TRUE(icons.IsKindOf(RUNTIME_CLASS(CMenu)));
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(IconMenu)));
    EXPECT_STREQ(icons.GetRuntimeClass()->m_lpszClassName, "IconMenu");
    EXPECT_EQ(icons.GetRuntimeClass()->m_wSchema, 0xFFFFu);
    EXPECT_EQ(icons.GetRuntimeClass()->m_pBaseClass, RUNTIME_CLASS(CMenu));
}

TEST(IconMenuClass, EmptyMenuDestroysHarmlesslyAndMissingTemplateChangesNothing) {
    IconMenu menu;
    EXPECT_FALSE(menu.DestroyTree());
    EXPECT_FALSE(menu.LoadTemplate(9999));
    EXPECT_EQ(menu.m_hMenu, nullptr);
    ASSERT_TRUE(menu.LoadTemplate(IDR_TEST_MENU));
    HMENU loaded = menu.m_hMenu;
    EXPECT_FALSE(menu.LoadTemplate("NO_SUCH_MENU"));
    EXPECT_EQ(menu.m_hMenu, loaded);
}

TEST_F(IconMenuTest, TemplateBuildsNestedPopupsUnderAPlainBar) {
    EXPECT_TRUE(m_menu.IsLoaded());
    ASSERT_EQ(m_menu.GetMenuItemCount(), 2);
    // The bar is system-drawn: plain popups with their texts.
    EXPECT_FALSE(IsOwnerDrawn(m_menu, 0));
    EXPECT_FALSE(IsOwnerDrawn(m_menu, 1));
    EXPECT_NE(m_menu.GetMenuState(0, MF_BYPOSITION) & MF_POPUP, 0u);
    CString bar;
    m_menu.GetMenuString(1, bar, MF_BYPOSITION);
    EXPECT_EQ(bar.Str(), "&Help");
    EXPECT_EQ(m_menu.GetRecord(0)->m_nFlags, static_cast<UINT>(MF_BYPOSITION | MF_POPUP));

    IconMenu* tools = PopupAt(m_menu, 0);
    IconMenu* help = PopupAt(m_menu, 1);
    ASSERT_NE(tools, nullptr);
    ASSERT_NE(help, nullptr);
    // "E&xport" ends the Tools level, so "&Help" is the bar's, not a Tools item.
    ASSERT_EQ(tools->GetMenuItemCount(), 6);
    ASSERT_EQ(help->GetMenuItemCount(), 1);
    IconMenu* exportMenu = PopupAt(*tools, 5);
    ASSERT_NE(exportMenu, nullptr);
    EXPECT_EQ(exportMenu->GetMenuItemCount(), 2);
    EXPECT_FALSE(tools->IsLoaded());

    struct Row {
        int pos;
        UINT id;
        UINT flags;  // of the record
    };
    const UINT exportId = static_cast<UINT>(HandleToUlong(exportMenu->m_hMenu));
    const std::vector<Row> rows = {
        {0, ID_OPEN, MF_OWNERDRAW},
        {1, ID_SAVE, MF_OWNERDRAW},
        {2, 0, MF_OWNERDRAW | MF_SEPARATOR},
        {3, ID_REFRESH, MF_OWNERDRAW | MF_CHECKED},
        {4, ID_DELETE, MF_OWNERDRAW | MF_GRAYED},
        {5, exportId, MF_OWNERDRAW | MF_POPUP},
    };
    ASSERT_EQ(tools->GetRecordCount(), 6);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pos);
        const IconMenuItem* record = tools->GetRecord(row.pos);
        EXPECT_EQ(record->m_nCommandId, row.id);
        EXPECT_EQ(record->m_nFlags, row.flags);
        EXPECT_EQ(record->m_nOwnImage, -1);
        EXPECT_EQ(record->m_nOwnImageOffset, -1);
        EXPECT_TRUE(IsOwnerDrawnWithRecord(*tools, row.pos));
    }
    EXPECT_EQ(tools->GetMenuState(ID_REFRESH, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(Text(*tools, 2), "");
}

TEST_F(IconMenuTest, ShortcutsArePaddedToOneColumnAndPlainTextsKept) {
    IconMenu& tools = *PopupAt(m_menu, 0);
    EXPECT_EQ(Text(tools, 3), "&Refresh");
    EXPECT_EQ(Text(tools, 5), "E&xport");
    // The widest part before a tab, plus one space, in the menu font.
    int widest = 0;
    for (const char* label : {"&Open ", "&Save all ", "&Refresh ", "&Delete ", "E&xport "}) {
        widest = std::max(widest, LabelWidth(label));
    }
    for (int pos : {0, 1, 4}) {
        SCOPED_TRACE(pos);
        const std::string text = Text(tools, pos);
        const size_t tab = text.find('\t');
        ASSERT_NE(tab, std::string::npos);
        EXPECT_EQ(text[tab - 1], ' ');
        EXPECT_GE(LabelWidth(text), widest);
        // One space fewer would fall short: the padding stops as soon as it reaches.
        EXPECT_LT(LabelWidth(text.substr(0, tab - 1)), widest);
    }
    EXPECT_NE(Text(tools, 0).find("\tCtrl+O"), std::string::npos);
    EXPECT_NE(Text(tools, 1).find("\tCtrl+Shift+S"), std::string::npos);
}

TEST(IconMenuAppend, CommandZeroIsAnOwnerDrawnSeparatorWhateverTheFlags) {
    IconMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    struct Row {
        UINT flags;
        UINT id;
        UINT expected;
    };
    const std::vector<Row> rows = {
        {MF_STRING, 0, MF_SEPARATOR | MF_OWNERDRAW},
        {MF_CHECKED | MF_GRAYED | MF_POPUP, 0, MF_SEPARATOR | MF_OWNERDRAW},
        {MF_BYPOSITION | MF_CHECKED, 0, MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION},
        {MF_CHECKED, ID_OPEN, MF_CHECKED | MF_OWNERDRAW},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(menu.AppendIconItem(L"x", row.flags, row.id));
        const int pos = menu.GetRecordCount() - 1;
        SCOPED_TRACE(pos);
        EXPECT_EQ(menu.GetRecord(pos)->m_nFlags, row.expected);
        EXPECT_EQ((menu.GetMenuState(static_cast<UINT>(pos), MF_BYPOSITION) & MF_SEPARATOR) != 0,
                  row.id == 0);
    }
    EXPECT_FALSE(IconMenu::IsRegisteredMenu(menu.m_hMenu));
}

TEST_F(IconMenuTest, PopupsAreRegisteredUntilTheTreeGoes) {
    IconMenu* tools = PopupAt(m_menu, 0);
    HMENU toolsHandle = tools->m_hMenu;
    HMENU exportHandle = PopupAt(*tools, 5)->m_hMenu;
    HMENU helpHandle = PopupAt(m_menu, 1)->m_hMenu;
    for (HMENU popup : {toolsHandle, exportHandle, helpHandle}) {
        EXPECT_TRUE(IconMenu::IsRegisteredMenu(popup));
    }
    EXPECT_TRUE(IconMenu::IsRegisteredMenu(tools));
    EXPECT_FALSE(IconMenu::IsRegisteredMenu(m_menu.m_hMenu));  // the bar is no popup
    EXPECT_FALSE(IconMenu::IsRegisteredMenu(static_cast<HMENU>(nullptr)));
    EXPECT_EQ(m_menu.GetSubMenuHandles(), (std::vector<HMENU>{toolsHandle, helpHandle}));

    EXPECT_TRUE(m_menu.DestroyTree());
    for (HMENU popup : {toolsHandle, exportHandle, helpHandle}) {
        EXPECT_FALSE(IconMenu::IsRegisteredMenu(popup));
        EXPECT_EQ(CMenu::FromHandlePermanent(popup), nullptr);
        EXPECT_FALSE(::IsMenu(popup));
    }
    EXPECT_EQ(m_menu.m_hMenu, nullptr);
    EXPECT_EQ(m_menu.GetRecordCount(), 0);
}

TEST_F(IconMenuTest, HandleMenuCharFindsTheFirstAmpersandKeyCaseBlind) {
    IconMenu* tools = PopupAt(m_menu, 0);
    struct Row {
        UINT ch;
        UINT flags;
        LRESULT expected;
    };
    const std::vector<Row> rows = {
        {'o', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
        {'O', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
        {'s', MF_POPUP, MAKELRESULT(1, MNC_EXECUTE)},
        {'r', MF_POPUP, MAKELRESULT(3, MNC_EXECUTE)},
        {'X', MF_POPUP, MAKELRESULT(5, MNC_EXECUTE)},
        {'e', MF_POPUP, 0},  // "E&xport" and "&Delete" hold an e, but not after the &
        {'a', MF_POPUP, 0},  // "&Save all": the a is not the marked one
        {'z', MF_POPUP, 0},
        {'o', 0, 0},  // not for a popup
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<char>(row.ch));
        EXPECT_EQ(IconMenu::HandleMenuChar(row.ch, row.flags, tools), row.expected);
    }
    EXPECT_EQ(IconMenu::HandleMenuChar('o', MF_POPUP, nullptr), 0);
    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu(MF_STRING, ID_OPEN, "&Open");
    EXPECT_EQ(IconMenu::HandleMenuChar('o', MF_POPUP, &plain), 0);
}

TEST_F(IconMenuTest, HandleMenuCharResynchronisesAMenuChangedBehindItsBack) {
    IconMenu* help = PopupAt(m_menu, 1);
    ::InsertMenuA(help->m_hMenu, 0, MF_BYPOSITION | MF_STRING, ID_NEW, "&New");
    EXPECT_EQ(IconMenu::HandleMenuChar('n', MF_POPUP, help), MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(IconMenu::HandleMenuChar('a', MF_POPUP, help), MAKELRESULT(1, MNC_EXECUTE));
    EXPECT_EQ(help->GetRecordCount(), 2);
}

TEST_F(IconMenuTest, SyncRecordsFollowsItemsChangedBehindTheRecordsBack) {
    IconMenu& tools = *PopupAt(m_menu, 0);
    const IconMenuItem* open = tools.GetRecord(0);
    const IconMenuItem* refresh = tools.GetRecord(3);
    const IconMenuItem* exportRecord = tools.GetRecord(5);
    HMENU tm = tools.m_hMenu;
    ::DeleteMenu(tm, 1, MF_BYPOSITION);                                           // "Save all" goes
    ::InsertMenuA(tm, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, ID_NEW, "&New");  // a plain item
    ::ModifyMenuA(tm, ID_REFRESH, MF_BYCOMMAND | MF_STRING | MF_CHECKED, ID_REFRESH, "Re&load");
    ::AppendMenuA(tm, MF_SEPARATOR, 0, nullptr);
    // Now: New, Open, separator, Reload, Delete, Export, separator.
    tools.SyncRecords();

    ASSERT_EQ(tools.GetRecordCount(), tools.GetMenuItemCount());
    ASSERT_EQ(tools.GetRecordCount(), 7);
    const std::vector<UINT> ids = {ID_NEW,    ID_OPEN,
                                   0,         ID_REFRESH,
                                   ID_DELETE, static_cast<UINT>(HandleToUlong(::GetSubMenu(tm, 5))),
                                   0};
    for (int pos = 0; pos < 7; ++pos) {
        SCOPED_TRACE(pos);
        EXPECT_EQ(tools.GetRecord(pos)->m_nCommandId, ids[static_cast<size_t>(pos)]);
        EXPECT_TRUE(IsOwnerDrawnWithRecord(tools, pos));
    }
    // Records of items that stayed are kept, with the text Windows now holds.
    EXPECT_EQ(tools.GetRecord(1), open);
    EXPECT_EQ(tools.GetRecord(3), refresh);
    EXPECT_EQ(tools.GetRecord(5), exportRecord);
    EXPECT_EQ(Text(tools, 0), "&New");
    EXPECT_EQ(Text(tools, 3), "Re&load");
    EXPECT_EQ(Text(tools, 5), "E&xport");  // an owner-drawn popup keeps its record text
    EXPECT_EQ(tools.GetRecord(0)->m_nFlags & (MF_GRAYED | MF_OWNERDRAW | MF_BYPOSITION),
              static_cast<UINT>(MF_GRAYED | MF_OWNERDRAW | MF_BYPOSITION));
    EXPECT_EQ(tools.GetMenuState(ID_REFRESH, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_TRUE(IconMenu::IsRegisteredMenu(::GetSubMenu(tm, 5)));
}

TEST_F(IconMenuTest, ItemTextAndCommandsAreFoundAnywhereInTheTree) {
    IconMenu* tools = PopupAt(m_menu, 0);
    IconMenu* exportMenu = PopupAt(*tools, 5);
    int pos = -2;
    EXPECT_EQ(m_menu.FindCommand(ID_EXPORT_LIST, pos), exportMenu);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(m_menu.FindCommand(ID_ABOUT, pos), PopupAt(m_menu, 1));
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(m_menu.FindCommand(4242, pos), nullptr);
    EXPECT_EQ(pos, -1);

    CString text;
    EXPECT_TRUE(m_menu.GetItemText(ID_EXPORT_TEXT, text, MF_BYCOMMAND));
    EXPECT_EQ(text.Str(), "As &text");
    EXPECT_FALSE(m_menu.GetItemText(4242, text, MF_BYCOMMAND));
    EXPECT_TRUE(tools->GetItemText(4, text, MF_BYPOSITION));
    EXPECT_EQ(text.Str().substr(0, 7), "&Delete");
    EXPECT_FALSE(tools->GetItemText(6, text, MF_BYPOSITION));
}

TEST_F(IconMenuTest, AppendingToALoadedBarKeepsItsPopupsPlainAndItsCommandsIntact) {
    IconMenu* tools = PopupAt(m_menu, 0);
    IconMenu extra;
    ASSERT_TRUE(extra.CreatePopupMenu());
    const HMENU extraHandle = extra.Detach();  // the bar's popup from here on
    ASSERT_TRUE(
        m_menu.AppendIconItem(L"&View", MF_POPUP, static_cast<UINT>(HandleToUlong(extraHandle))));
    ASSERT_TRUE(m_menu.AppendIconItem(L"&Quit", MF_STRING, ID_NEW));
    ASSERT_EQ(m_menu.GetMenuItemCount(), 4);
    // Every popup of the bar is plain again, the appended one too.
    for (int pos : {0, 1, 2}) {
        SCOPED_TRACE(pos);
        EXPECT_FALSE(IsOwnerDrawn(m_menu, pos));
        EXPECT_NE(m_menu.GetMenuState(static_cast<UINT>(pos), MF_BYPOSITION) & MF_POPUP, 0u);
        EXPECT_EQ(m_menu.GetRecord(pos)->m_nFlags, static_cast<UINT>(MF_BYPOSITION | MF_POPUP));
    }
    CString view;
    m_menu.GetMenuString(2, view, MF_BYPOSITION);
    EXPECT_EQ(view.Str(), "&View");
    EXPECT_EQ(::GetSubMenu(m_menu.m_hMenu, 0), tools->m_hMenu);
    // A command item is not turned into a popup: it keeps its command.
    EXPECT_EQ(m_menu.GetMenuItemID(3), static_cast<UINT>(ID_NEW));
    EXPECT_EQ(m_menu.GetMenuState(3, MF_BYPOSITION) & MF_POPUP, 0u);
}

TEST(IconMenuTemplate, TemplatesThatEndEarlyAreReadOnlyToTheirEnd) {
    struct Row {
        UINT id;
        int popupItems;  // items of popup "A" that were whole
        int barItems;
    };
    const std::vector<Row> rows = {
        {IDR_MENU_NO_END, 2, 1},     // no closing item: both items, levels closed
        {IDR_MENU_CUT_TEXT, 1, 1},   // the last text has no terminator: dropped
        {IDR_MENU_CUT_POPUP, 1, 1},  // an item cut inside its id: dropped
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        IconMenu menu;
        ASSERT_TRUE(menu.LoadTemplate(row.id));
        ASSERT_EQ(menu.GetMenuItemCount(), row.barItems);
        CString name;
        menu.GetMenuString(0, name, MF_BYPOSITION);
        EXPECT_EQ(name.Str(), "A");
        IconMenu* popup = PopupAt(menu, 0);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->GetMenuItemCount(), row.popupItems);
        EXPECT_EQ(Text(*popup, 0), "B");
        EXPECT_EQ(popup->GetMenuItemID(0), 5u);
    }
}

TEST(IconMenuLeaks, LoadingAndDestroyingTheTreeLeavesNoObjectBehind) {
    auto round = [](int menusBefore) {
        IconMenu menu;
        ASSERT_TRUE(menu.LoadTemplate(IDR_TEST_MENU));
        IconMenu* tools = PopupAt(menu, 0);
        ASSERT_NE(tools, nullptr);
        tools->AppendIconItem(L"&Open", MF_STRING, ID_OPEN, IDR_TEST_TOOLBAR);
        if (menusBefore >= 0) {
            EXPECT_EQ(HandleCensus::Menus(), menusBefore + 4);  // bar, Tools, Export, Help
        }
        ::InsertMenuA(tools->m_hMenu, 0, MF_BYPOSITION | MF_STRING, ID_NEW, "&New");
        tools->SyncRecords();
        EXPECT_TRUE(menu.DestroyTree());
    };
    // The first round brings the shared image list and the system's caches into being.
    round(-1);
    const int gdiBefore = HandleCensus::GdiObjects();
    const int userBefore = HandleCensus::UserObjects();
    const int menusBefore = HandleCensus::Menus();
    ASSERT_GT(gdiBefore, 0);
    for (int i = 0; i < 3; ++i) {
        round(menusBefore);
    }
    EXPECT_EQ(HandleCensus::Menus(), menusBefore);
    EXPECT_EQ(HandleCensus::UserObjects(), userBefore);
    EXPECT_EQ(HandleCensus::GdiObjects(), gdiBefore);
    // The census sees what is left over.
    HMENU left = ::CreatePopupMenu();
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(HandleCensus::Menus(), menusBefore + 1);
    EXPECT_EQ(HandleCensus::GdiObjects(), gdiBefore + 1);
    ::DestroyMenu(left);
    ::DeleteObject(brush);
}

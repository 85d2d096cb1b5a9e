// Painting of owner-drawn menu items, checked on the pixels at the geometry of each
// look, in whichever look this run's system gives (MenuTestConfig): the classic look
// with the default Windows version, the flat look on Windows XP without the classic
// theme, the classic look with 3-D cell edges on Windows XP with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HandleCensus.h"
#include "MenuTestConfig.h"
#include "MenuTestIds.h"
#include "framework/CClientDC.h"
#include "framework/CFont.h"
#include "tests/support/PixelCanvas.h"
#include "ui/menu/IconMenu.h"
#include "ui/menu/MenuImageEffects.h"
#include "ui/menu/MenuPlatform.h"
#include "ui/menu/SharedMenuImages.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr int kWidth = 160;
// Items are painted at this offset into the canvas, so that painting must keep to
// the item's rectangle and coordinates.
constexpr int kOx = 3;
constexpr int kOy = 7;

COLORREF Sys(int index) {
    return ::GetSysColor(index);
}

COLORREF Lighten(COLORREF c, double k) {
    return MenuImageEffects::LightenColor(c, k);
}

bool Flat() {
    return MenuTestConfig::Get().flat;
}

bool Edges() {
    return MenuTestConfig::Get().platform >= MenuPlatform::kWin95;
}

// Positions of the test popup's items.
enum Pos {
    kOpen = 0,  // "&Open\tCtrl+O", red image (tool bar image 0)
    kSave = 1,  // green image
    kSeparator = 2,
    kRefresh = 3,    // no image
    kDelete = 4,     // "&Delete\tDel", blue image (image 2: the separator takes none)
    kNotOnBar = 5,   // a command the tool bar lacks: image 0 all the same
    kRadio = 6,      // no image, a checked-state bitmap
    kTrueColor = 7,  // image 0 of a 24-bit strip: no system colours mapped
};

class MenuPaintFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_menu = new IconMenu;
        ASSERT_TRUE(s_menu->CreatePopupMenu());
        s_menu->AppendIconItem(L"&Open\tCtrl+O", MF_STRING, ID_OPEN, IDR_TEST_TOOLBAR);
        s_menu->AppendIconItem(L"&Save all", MF_STRING, ID_SAVE, IDR_TEST_TOOLBAR);
        s_menu->AppendIconItem(nullptr, MF_STRING, 0);
        s_menu->AppendIconItem(L"&Refresh", MF_STRING, ID_REFRESH);
        s_menu->AppendIconItem(L"&Delete\tDel", MF_STRING, ID_DELETE, IDR_TEST_TOOLBAR);
        s_menu->AppendIconItem(L"&About", MF_STRING, ID_NOT_ON_TOOLBAR, IDR_TEST_TOOLBAR);
        s_menu->AppendIconItem(L"R&adio", MF_STRING, ID_NEW);
        s_menu->AppendIconItem(L"True colour", MF_STRING, ID_EXPORT_TEXT, IDB_STRIP24);
        s_radio = ::CreateBitmap(8, 8, 1, 1, nullptr);
        ::SetMenuItemBitmaps(s_menu->m_hMenu, ID_NEW, MF_BYCOMMAND, nullptr, s_radio);
    }
    static void TearDownTestSuite() {
        delete s_menu;
        ::DeleteObject(s_radio);
    }

    // Paints item `pos` in `state` into the canvas at (kOx, kOy), `height` high,
    // and checks that the DC comes back as it was.
    static void Paint(PixelCanvas& canvas, int pos, UINT state, int height) {
        HDC dc = canvas.Dc();
        const HGDIOBJ before[] = {
            ::GetCurrentObject(dc, OBJ_PEN), ::GetCurrentObject(dc, OBJ_BRUSH),
            ::GetCurrentObject(dc, OBJ_FONT), ::GetCurrentObject(dc, OBJ_BITMAP)};
        ::SetBkMode(dc, OPAQUE);
        ::SetTextColor(dc, RGB(9, 9, 9));
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_MENU;
        item.itemID = s_menu->GetMenuItemID(pos);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = reinterpret_cast<HWND>(s_menu->m_hMenu);
        item.hDC = dc;
        item.rcItem = RECT{kOx, kOy, kOx + kWidth, kOy + height};
        item.itemData = reinterpret_cast<ULONG_PTR>(s_menu->GetRecord(pos));
        s_menu->DrawItem(&item);
        const HGDIOBJ after[] = {::GetCurrentObject(dc, OBJ_PEN), ::GetCurrentObject(dc, OBJ_BRUSH),
                                 ::GetCurrentObject(dc, OBJ_FONT),
                                 ::GetCurrentObject(dc, OBJ_BITMAP)};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(after[i], before[i]) << "selection " << i;
        }
        EXPECT_EQ(::GetBkMode(dc), OPAQUE);
        EXPECT_EQ(::GetTextColor(dc), RGB(9, 9, 9));
    }

    static IconMenu* s_menu;
    static HBITMAP s_radio;
};

IconMenu* MenuPaintFixture::s_menu = nullptr;
HBITMAP MenuPaintFixture::s_radio = nullptr;

struct Pixel {
    int x;  // relative to the item's corner
    int y;
    COLORREF color;
};

struct PaintCase {
    const char* name;
    int pos;
    UINT state;
    int height;
    std::vector<Pixel> pixels;
    COLORREF absent = CLR_INVALID;  // a colour that must not show in the item
};

void CheckCase(const PixelCanvas& canvas, const PaintCase& c) {
    SCOPED_TRACE(c.name);
    for (const Pixel& p : c.pixels) {
        EXPECT_EQ(canvas.At(kOx + p.x, kOy + p.y), p.color) << "at " << p.x << "," << p.y;
    }
    const CRect item(kOx, kOy, kOx + kWidth, kOy + c.height);
    if (c.absent != CLR_INVALID) {
        EXPECT_EQ(canvas.Count(item, c.absent), 0);
    }
    // Nothing outside the item's rectangle.
    EXPECT_EQ(canvas.Count(canvas.All(), PixelCanvas::kSentinel) +
                  canvas.Count(item, [](COLORREF c) { return c != PixelCanvas::kSentinel; }),
              canvas.Width() * canvas.Height());
}

std::vector<PaintCase> ClassicCases() {
    const COLORREF b = Sys(Flat() ? COLOR_BTNFACE : COLOR_MENU);
    const COLORREF hl = Sys(COLOR_HIGHLIGHT);
    const COLORREF light = Sys(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = Sys(COLOR_BTNSHADOW);
    const COLORREF text = Sys(COLOR_MENUTEXT);
    const COLORREF tint = Lighten(b, 0.6);
    const COLORREF none = PixelCanvas::kSentinel;
    // Image at (2, 2): its red block covers (5..14, 5..13), its shadow column x 15.
    return {
        {"normal", kOpen, 0, 19, {{0, 0, b}, {1, 1, b}, {3, 3, b}, {8, 8, kRed}, {15, 8, shadow}}},
        {"selected: highlight right of the cell, raised cell",
         kOpen,
         ODS_SELECTED,
         19,
         {{21, 0, hl},
          {159, 18, hl},
          {20, 9, none},
          {3, 3, b},
          {8, 8, kRed},
          {0, 0, Edges() ? light : none},
          {19, 18, Edges() ? shadow : none}}},
        {"selected and checked: sunken cell",
         kOpen,
         ODS_SELECTED | ODS_CHECKED,
         19,
         {{21, 0, hl},
          {8, 8, kRed},
          {0, 0, Edges() ? shadow : none},
          {19, 18, Edges() ? light : none}}},
        {"checked: tinted sunken cell",
         kOpen,
         ODS_CHECKED,
         19,
         {{3, 3, tint}, {8, 8, kRed}, {0, 0, Edges() ? shadow : b}, {30, 9, b}}},
        {"checked without image: tick cell",
         kRefresh,
         ODS_CHECKED,
         19,
         {{2, 3, tint},
          {1, 2, Edges() ? shadow : tint},
          {16, 16, Edges() ? light : tint},
          {5, 8, text},
          {5, 10, text},
          {5, 7, tint},
          {7, 10, text},
          {7, 12, text},
          {11, 6, text},
          {11, 8, text},
          {11, 9, tint}}},
        {"selected and checked without image",
         kRefresh,
         ODS_SELECTED | ODS_CHECKED,
         19,
         {{8, 4, b}, {21, 5, hl}, {5, 9, text}}},
        {"radio", kRadio, ODS_CHECKED, 19, {{8, 8, text}, {9, 9, text}, {4, 8, tint}}},
        {"disabled: embossed image",
         kDelete,
         ODS_GRAYED,
         19,
         {{3, 3, b}, {7, 7, shadow}, {14, 13, shadow}, {16, 15, light}},
         kBlue},
        {"disabled and selected: selected, text in the menu colour",
         kDelete,
         ODS_GRAYED | ODS_SELECTED,
         19,
         {{21, 0, hl}, {7, 7, shadow}},
         kBlue},
        {"separator", kSeparator, 0, 9, {{10, 0, b}, {10, 4, shadow}, {10, 5, light}, {10, 8, b}}},
        {"not on the tool bar: image 0", kNotOnBar, 0, 19, {{8, 8, kRed}}},
        {"true-colour strip: colours as drawn",
         kTrueColor,
         0,
         19,
         {{8, 8, kRed}, {15, 8, kGrey}, {3, 3, kSilver}}},
    };
}

std::vector<PaintCase> FlatCases() {
    const COLORREF window = Sys(COLOR_WINDOW);
    const COLORREF face = Sys(COLOR_BTNFACE);
    const COLORREF hl = Sys(COLOR_HIGHLIGHT);
    const COLORREF sel = Lighten(hl, 0.7);
    const COLORREF tint = Lighten(hl, 0.85);
    const COLORREF light = Sys(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = Sys(COLOR_BTNSHADOW);
    const COLORREF text = Sys(COLOR_MENUTEXT);
    // Image at (4, 4): red block (7..16, 7..15); lifted to (3, 3): (6..15, 6..14),
    // its shadow at (5, 5): (8..17, 8..16) and the column x 18.
    return {
        {"normal: faded image on the face column",
         kOpen,
         0,
         22,
         {{0, 0, face},
          {22, 10, face},
          {23, 10, window},
          {159, 0, window},
          {2, 2, face},
          {12, 12, Lighten(kRed, 0.3)},
          {17, 12, Lighten(shadow, 0.3)}},
         kRed},
        {"selected: image lifted above its shadow",
         kOpen,
         ODS_SELECTED,
         22,
         {{0, 0, hl},
          {159, 21, hl},
          {30, 10, sel},
          {2, 2, sel},
          {11, 11, kRed},
          {17, 12, shadow},
          {10, 16, shadow},
          {16, 10, shadow}}},
        {"checked: tinted framed box, image up and left",
         kOpen,
         ODS_CHECKED,
         22,
         {{0, 0, face}, {1, 1, hl}, {21, 20, hl}, {2, 2, tint}, {11, 11, kRed}, {17, 12, tint}}},
        {"selected and checked",
         kOpen,
         ODS_SELECTED | ODS_CHECKED,
         22,
         {{1, 1, hl}, {2, 2, sel}, {11, 11, kRed}, {17, 12, sel}}},
        {"checked without image: cell 4 right, 3 down",
         kRefresh,
         ODS_CHECKED,
         22,
         {{4, 3, hl},
          {19, 18, hl},
          {3, 3, face},
          {5, 4, tint},
          {9, 9, text},
          {9, 11, text},
          {9, 8, tint},
          {15, 7, text},
          {15, 10, tint}}},
        {"radio", kRadio, ODS_CHECKED, 22, {{12, 10, text}, {5, 4, tint}}},
        {"disabled and selected: never selected, embossed",
         kDelete,
         ODS_GRAYED | ODS_SELECTED,
         22,
         {{0, 0, face}, {30, 10, window}, {2, 2, face}, {9, 9, shadow}, {18, 17, light}},
         kBlue},
        {"separator",
         kSeparator,
         0,
         11,
         {{5, 5, face}, {25, 5, window}, {40, 5, shadow}, {40, 6, light}, {40, 0, window}}},
        {"not on the tool bar: image 0", kNotOnBar, ODS_SELECTED, 22, {{11, 11, kRed}}},
        {"true-colour strip: colours as drawn",
         kTrueColor,
         ODS_SELECTED,
         22,
         {{11, 11, kRed}, {16, 10, kGrey}, {4, 4, kSilver}}},
    };
}

}  // namespace

TEST_F(MenuPaintFixture, LookPaintsEachStateAtItsGeometry) {
    ASSERT_NE(Sys(COLOR_BTNSHADOW), kGrey);  // so that the mapping shows
    ASSERT_NE(Sys(COLOR_BTNFACE), kSilver);
    PixelCanvas canvas(kWidth + 2 * kOx, 22 + 2 * kOy);
    const std::vector<PaintCase> cases = Flat() ? FlatCases() : ClassicCases();
    // A first pass lets the system make the pens and caches it keeps for good.
    for (const PaintCase& c : cases) {
        Paint(canvas, c.pos, c.state, c.height);
    }
    for (const PaintCase& c : cases) {
        canvas.Clear();
        const int gdiBefore = HandleCensus::GdiObjects();
        Paint(canvas, c.pos, c.state, c.height);
        EXPECT_EQ(HandleCensus::GdiObjects(), gdiBefore) << c.name;
        CheckCase(canvas, c);
    }
}

TEST_F(MenuPaintFixture, LookTextStartsRightOfTheCellAndShortcutsEndOneCellFromTheEdge) {
    const int height = Flat() ? 22 : 19;
    const int textLeft = Flat() ? 16 + 7 + 8 : 16 + 9;
    PixelCanvas canvas(kWidth + 2 * kOx, height + 2 * kOy);
    Paint(canvas, kOpen, 0, height);
    const COLORREF text = Sys(COLOR_MENUTEXT);
    const CRect item(kOx, kOy, kOx + kWidth, kOy + height);
    CRect ink = canvas.Bounds(item, [text](COLORREF c) { return c == text; });
    ASSERT_FALSE(ink.IsRectEmpty());
    ink.OffsetRect(-kOx, -kOy);
    EXPECT_GE(ink.left, textLeft);
    EXPECT_LT(ink.left, textLeft + 3);
    // "Ctrl+O" is right-aligned to 16 pixels before the right edge.
    EXPECT_LE(ink.right, kWidth - 16);
    EXPECT_GT(ink.right, kWidth - 16 - 4);

    // Without a tab the text is left-aligned only.
    canvas.Clear();
    Paint(canvas, kSave, 0, height);
    ink = canvas.Bounds(item, [text](COLORREF c) { return c == text; });
    ink.OffsetRect(-kOx, -kOy);
    EXPECT_LT(ink.right, kWidth - 16 - 40);
}

TEST_F(MenuPaintFixture, LookDisabledTextIsEngravedInTheClassicLookAndGreyInTheFlatOne) {
    const int height = Flat() ? 22 : 19;
    PixelCanvas canvas(kWidth + 2 * kOx, height + 2 * kOy);
    Paint(canvas, kDelete, ODS_GRAYED, height);
    const CRect text(kOx + 26, kOy, kOx + kWidth, kOy + height);
    const CRect grey = canvas.Bounds(text, [](COLORREF c) { return c == Sys(COLOR_GRAYTEXT); });
    const CRect light =
        canvas.Bounds(text, [](COLORREF c) { return c == Sys(COLOR_BTNHIGHLIGHT); });
    ASSERT_FALSE(grey.IsRectEmpty());
    EXPECT_EQ(canvas.Count(text, Sys(COLOR_MENUTEXT)), 0);
    if (Flat()) {
        EXPECT_TRUE(light.IsRectEmpty());
    } else {
        EXPECT_EQ(light.BottomRight(), CPoint(grey.right + 1, grey.bottom + 1));
    }
    // Disabled and selected, the classic look writes in the menu colour on the highlight.
    canvas.Clear();
    Paint(canvas, kDelete, ODS_GRAYED | ODS_SELECTED, height);
    if (!Flat()) {
        const COLORREF b = Sys(COLOR_MENU);
        EXPECT_GT(canvas.Count(text, b), 0);
        EXPECT_EQ(canvas.Count(text, Sys(COLOR_GRAYTEXT)), 0);
        EXPECT_EQ(canvas.Count(text, Sys(COLOR_HIGHLIGHTTEXT)), 0);
    }
}

TEST_F(MenuPaintFixture, LookMeasuresCellsTextAndSeparators) {
    const int margin = Flat() ? 7 : 4;
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemData = reinterpret_cast<ULONG_PTR>(s_menu->GetRecord(kOpen));
    s_menu->MeasureItem(&item);
    const int menuHeight = ::GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(static_cast<int>(item.itemHeight), std::max(menuHeight, 15 + margin));
    EXPECT_GE(static_cast<int>(item.itemHeight), Flat() ? 22 : 19);

    // The width: the text as the platform measures it plus the cells. Every system
    // after Windows XP measures without selecting the menu font.
    const std::wstring text = L"&Open\tCtrl+O";
    CClientDC dc(MenuPlatform::HostWindow());
    SIZE plain{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &plain);
    CFont font;
    MenuPlatform::CreateMenuFont(font);
    dc.SelectObject(&font);
    SIZE withFont{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &withFont);
    ASSERT_NE(plain.cx, withFont.cx);  // else the two ways could not be told apart
    const int expectedText =
        MenuTestConfig::Get().platform >= MenuPlatform::kWin95 ? withFont.cx : plain.cx;
    EXPECT_EQ(static_cast<int>(item.itemWidth), expectedText + (Flat() ? 31 : 33));

    MEASUREITEMSTRUCT separator{};
    separator.CtlType = ODT_MENU;
    separator.itemData = reinterpret_cast<ULONG_PTR>(s_menu->GetRecord(kSeparator));
    s_menu->MeasureItem(&separator);
    EXPECT_EQ(separator.itemWidth, 0u);
    EXPECT_EQ(static_cast<int>(separator.itemHeight), std::max(menuHeight / 2, Flat() ? 11 : 9));
}

TEST_F(MenuPaintFixture, LookShadeVariantsComeWithTheFlatLookOnly) {
    const int k = SharedMenuImages::Find(ID_OPEN);
    ASSERT_GE(k, 0);
    EXPECT_EQ(s_menu->GetRecord(kOpen)->m_nSharedImage, k);
    EXPECT_EQ(s_menu->GetRecord(kNotOnBar)->m_nSharedImage,
              SharedMenuImages::Find(ID_NOT_ON_TOOLBAR));
    ASSERT_EQ(SharedMenuImages::HasShadeVariants(k), Flat());
    if (!Flat()) {
        EXPECT_EQ(SharedMenuImages::IdAt(k + 1), static_cast<UINT>(ID_SAVE));
        return;
    }
    struct Variant {
        int index;
        COLORREF block;
        COLORREF column;
    };
    const COLORREF shadow = Sys(COLOR_BTNSHADOW);
    for (const Variant& v : {Variant{k + 1, Lighten(kRed, 0.3), Lighten(shadow, 0.3)},
                             Variant{k + 2, shadow, shadow}}) {
        SCOPED_TRACE(v.index);
        PixelCanvas canvas(16, 15);
        ImageList_Draw(SharedMenuImages::List(), v.index, canvas.Dc(), 0, 0, ILD_TRANSPARENT);
        EXPECT_EQ(canvas.At(6, 6), v.block);
        EXPECT_EQ(canvas.At(13, 8), v.column);
        EXPECT_EQ(canvas.At(1, 1), PixelCanvas::kSentinel);  // the face stays transparent
    }
    // Adding the image of a command again replaces it in place, variants too.
    const int count = SharedMenuImages::Count();
    IconMenu again;
    again.CreatePopupMenu();
    again.AppendIconItem(L"Open", MF_STRING, ID_OPEN, IDR_TEST_TOOLBAR);
    EXPECT_EQ(SharedMenuImages::Count(), count);
    EXPECT_EQ(again.GetRecord(0)->m_nSharedImage, k);
}

TEST(PlatformClass, VersionsMapToTheirClasses) {
    struct Row {
        DWORD version;  // GetVersion: major in the low byte, minor in the next, 9x bit high
        DWORD minor;    // as GetVersionEx reports it
        int expected;
    };
    const std::vector<Row> rows = {
        {0x80000003, 10, MenuPlatform::kOld9x},  {0xC0000004, 0, MenuPlatform::kWin95},
        {0xC0000A04, 10, MenuPlatform::kWin98},  {0xC0005A04, 90, MenuPlatform::kWinMe},
        {0xC0000005, 0, MenuPlatform::kWin95},   {0x05650004, 0, MenuPlatform::kNt4},
        {0x08930005, 0, MenuPlatform::kWin2000}, {0x0A280105, 1, MenuPlatform::kWinXp},
        {0x0ECE0205, 2, MenuPlatform::kLaterNt}, {0x1DB10106, 1, MenuPlatform::kLaterNt},
        {0x4563000A, 0, MenuPlatform::kLaterNt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.version);
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        info.dwMajorVersion = LOBYTE(LOWORD(row.version));
        info.dwMinorVersion = row.minor;
        EXPECT_EQ(MenuPlatform::Classify(row.version, info), row.expected);
    }
}

TEST(PlatformClass, ThisSystemAndThemeGiveTheExpectedLook) {
    const MenuTestConfig& config = MenuTestConfig::Get();
    EXPECT_EQ(MenuPlatform::PlatformClass(), config.platform);
    EXPECT_EQ(MenuPlatform::IsThemedXp(), config.flat);
    if (config.platform == MenuPlatform::kWinXp) {
        EXPECT_EQ(MenuPlatform::IsClassicThemeActive() != FALSE, config.ClassicTheme());
    }
}

TEST(PlatformClass, LightenColorMovesEachChannelTowardWhite) {
    struct Row {
        COLORREF in;
        double k;
        COLORREF out;
    };
    const std::vector<Row> rows = {
        {RGB(0, 0, 0), 0.3, RGB(76, 76, 76)},        {RGB(255, 0, 0), 0.3, RGB(255, 76, 76)},
        {RGB(10, 20, 30), 0.85, RGB(218, 219, 221)}, {RGB(10, 20, 30), 1.0, RGB(255, 255, 255)},
        {RGB(10, 20, 30), 0.0, RGB(10, 20, 30)},     {RGB(10, 20, 30), 1.5, RGB(10, 20, 30)},
        {RGB(10, 20, 30), -0.3, RGB(10, 20, 30)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MenuImageEffects::LightenColor(row.in, row.k), row.out) << row.k;
    }
}

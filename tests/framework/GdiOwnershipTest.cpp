// GDI ownership: objects delete what they created, DCs give back what they displaced.
#include <gtest/gtest.h>

#include <functional>

#include "TestResources.h"
#include "framework/Framework.h"
#include "framework/ScopedSelection.h"

namespace {

struct Selection {
    HGDIOBJ pen;
    HGDIOBJ brush;
    HGDIOBJ font;
    HGDIOBJ bitmap;
};

// More GDI handles than a process may hold (Windows' default quota is 10 000, Wine's
// handle table 16 384).
constexpr int kBeyondHandleQuota = 1 << 16;

// A pen, a brush, a font and a bitmap, made for `dc`.
struct OneOfEachKind {
    explicit OneOfEachKind(HDC dc) {
        font.CreateMenuFont();
        bitmap.CreateCompatibleBitmap(dc, 4, 4);
    }
    bool Made() const {
        return font.GetSafeHandle() != nullptr && bitmap.GetSafeHandle() != nullptr;
    }

    CPen pen{PS_SOLID, 1, RGB(1, 2, 3)};
    CBrush brush{RGB(7, 8, 9)};
    CFont font;
    CBitmap bitmap;
};

Selection CurrentSelection(HDC dc) {
    return {::GetCurrentObject(dc, OBJ_PEN), ::GetCurrentObject(dc, OBJ_BRUSH),
            ::GetCurrentObject(dc, OBJ_FONT), ::GetCurrentObject(dc, OBJ_BITMAP)};
}

// Whether code can make a DC object of this type let go of its DC without giving
// it back to where it came from.
template <class DC>
constexpr bool kCanForgetItsDc = requires(DC& dc) {
    dc.Detach();
}
|| requires(DC& dc) {
    dc.DeleteDC();
}
|| requires(DC& dc) {
    dc.m_hDC = nullptr;
};

}  // namespace

TEST(GdiOwnership, BorrowedDcGetsEverySelectionBackAndStaysAlive) {
    HDC raw = ::CreateCompatibleDC(nullptr);
    const Selection before = CurrentSelection(raw);
    OneOfEachKind objects(raw);
    ASSERT_TRUE(objects.Made());
    CPen pen2(PS_SOLID, 2, RGB(4, 5, 6));
    {
        CDC dc;
        ASSERT_TRUE(dc.Attach(raw));
        EXPECT_EQ(dc.SelectObject(&objects.pen), before.pen);
        EXPECT_EQ(dc.SelectObject(&pen2), objects.pen.GetSafeHandle());
        dc.SelectObject(&objects.brush);
        dc.SelectObject(&objects.font);
        dc.SelectObject(&objects.bitmap);
        dc.SelectStockObject(NULL_BRUSH);
        EXPECT_EQ(::GetCurrentObject(raw, OBJ_PEN), pen2.GetSafeHandle());
    }
    const Selection after = CurrentSelection(raw);
    EXPECT_EQ(after.pen, before.pen);
    EXPECT_EQ(after.brush, before.brush);
    EXPECT_EQ(after.font, before.font);
    EXPECT_EQ(after.bitmap, before.bitmap);
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    ::DeleteDC(raw);
}

TEST(GdiOwnership, ScopedSelectionPutsBackWhatItDisplaced) {
    HDC raw = ::CreateCompatibleDC(nullptr);
    const Selection before = CurrentSelection(raw);
    OneOfEachKind objects(raw);
    ASSERT_TRUE(objects.Made());
    HRGN region = ::CreateRectRgn(0, 0, 2, 2);
    const struct {
        const char* name;
        HDC dc;
        HGDIOBJ object;
        UINT type;      // the current object of this type is `object` within the scope
        bool selected;  // whether it goes in at all
    } cases[] = {
        {"pen", raw, objects.pen.GetSafeHandle(), OBJ_PEN, true},
        {"brush", raw, objects.brush.GetSafeHandle(), OBJ_BRUSH, true},
        {"font", raw, objects.font.GetSafeHandle(), OBJ_FONT, true},
        {"bitmap", raw, objects.bitmap.GetSafeHandle(), OBJ_BITMAP, true},
        {"no object", raw, nullptr, OBJ_PEN, false},
        {"no DC", nullptr, objects.pen.GetSafeHandle(), OBJ_PEN, false},
        {"a region", raw, region, OBJ_PEN, false},
    };
    for (const auto& c : cases) {
        {
            const ScopedSelection in(c.dc, c.object);
            EXPECT_EQ(in.IsSelected(), c.selected) << c.name;
            EXPECT_EQ(::GetCurrentObject(raw, c.type) == c.object, c.selected) << c.name;
        }
        const Selection after = CurrentSelection(raw);
        EXPECT_EQ(after.pen, before.pen) << c.name;
        EXPECT_EQ(after.brush, before.brush) << c.name;
        EXPECT_EQ(after.font, before.font) << c.name;
        EXPECT_EQ(after.bitmap, before.bitmap) << c.name;
    }
    ::DeleteObject(region);
    ::DeleteDC(raw);
}

TEST(GdiOwnership, CreatedDcIsDeletedAndDetachedOneIsNot) {
    HDC created = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(static_cast<CDC*>(nullptr)));
        created = dc.GetSafeHdc();
        EXPECT_EQ(::GetObjectType(created), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(::GetObjectType(created), 0u);

    HDC kept = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(static_cast<CDC*>(nullptr)));
        kept = dc.Detach();
    }
    EXPECT_EQ(::GetObjectType(kept), static_cast<DWORD>(OBJ_MEMDC));
    ::DeleteDC(kept);
}

TEST(GdiOwnership, BorrowedDcOffersNoCallThatForgetsIt) {
    EXPECT_TRUE(kCanForgetItsDc<CDC>);  // the check sees such a call where there is one
    EXPECT_FALSE(kCanForgetItsDc<CClientDC>);
    EXPECT_FALSE(kCanForgetItsDc<CWindowDC>);
    EXPECT_FALSE(kCanForgetItsDc<CPaintDC>);
}

// ReleaseDC gives back a common DC that is still out and answers 1; for one that is
// back already it answers 0.
TEST(GdiOwnership, BorrowedDcIsBackWhenItsObjectGoes) {
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP, RECT{0, 0, 20, 20}, nullptr, 0));
    CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
    const struct {
        const char* name;
        HWND owner;
        std::function<HDC()> borrow;  // the DC borrowed, and given back or not
        int stillOut;
    } cases[] = {
        {"client", window, [&] { return CClientDC(&window).GetSafeHdc(); }, 0},
        {"window", window, [&] { return CWindowDC(&window).GetSafeHdc(); }, 0},
        {"screen", nullptr, [] { return CClientDC(static_cast<HWND>(nullptr)).GetSafeHdc(); }, 0},
        {"with a selection", window,
         [&] {
             CClientDC dc(&window);
             dc.SelectObject(&pen);
             return dc.GetSafeHdc();
         },
         0},
        {"not given back", window, [&] { return ::GetDC(window); }, 1},
    };
    for (const auto& c : cases) {
        const HDC dc = c.borrow();
        ASSERT_NE(dc, nullptr) << c.name;
        EXPECT_EQ(::ReleaseDC(c.owner, dc), c.stillOut) << c.name;
    }
}

TEST(GdiOwnership, GdiObjectDeletesItsHandleUnlessDetached) {
    HGDIOBJ deleted = nullptr;
    HGDIOBJ detached = nullptr;
    {
        CBrush brush(RGB(10, 20, 30));
        deleted = brush.GetSafeHandle();
        EXPECT_EQ(::GetObjectType(deleted), static_cast<DWORD>(OBJ_BRUSH));
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        detached = pen.Detach();
        // A second attach is refused: one handle per object.
        CBrush other;
        ASSERT_TRUE(other.CreateSolidBrush(RGB(1, 1, 1)));
        EXPECT_FALSE(other.CreateSolidBrush(RGB(2, 2, 2)));
    }
    EXPECT_EQ(::GetObjectType(deleted), 0u);
    EXPECT_EQ(::GetObjectType(detached), static_cast<DWORD>(OBJ_PEN));
    ::DeleteObject(detached);
}

TEST(GdiOwnership, CreatingIntoAHeldObjectCreatesNothing) {
    CBrush brush(RGB(1, 2, 3));
    CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
    CFont font;
    ASSERT_TRUE(font.CreateMenuFont());
    LOGFONTA logFont{};
    ASSERT_EQ(font.GetObject(sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
    const HBRUSH heldBrush = brush;
    const HPEN heldPen = pen;
    const HFONT heldFont = font;
    for (int i = 0; i < kBeyondHandleQuota; ++i) {
        ASSERT_FALSE(brush.CreateSolidBrush(RGB(4, 5, 6)));
        ASSERT_FALSE(pen.CreatePen(PS_SOLID, 2, RGB(4, 5, 6)));
        ASSERT_FALSE(font.CreateFontIndirect(&logFont));
    }
    EXPECT_EQ(brush.GetSafeHandle(), heldBrush);
    EXPECT_EQ(pen.GetSafeHandle(), heldPen);
    EXPECT_EQ(font.GetSafeHandle(), heldFont);
    // Had the refused creations left their handles behind, there would be none left.
    CBrush fresh;
    EXPECT_TRUE(fresh.CreateSolidBrush(RGB(7, 8, 9)));
    CPen freshPen;
    EXPECT_TRUE(freshPen.CreatePen(PS_SOLID, 1, RGB(7, 8, 9)));
}

TEST(GdiOwnership, DrawingHelpersPaintWhereTheySay) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(static_cast<CDC*>(nullptr)));
    CBitmap bitmap;
    HDC screen = ::GetDC(nullptr);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 10, 10));
    ::ReleaseDC(nullptr, screen);
    dc.SelectObject(&bitmap);
    dc.SetBkColor(RGB(9, 9, 9));
    dc.FillSolidRect(0, 0, 10, 10, RGB(255, 255, 255));
    EXPECT_EQ(dc.GetBkColor(), RGB(9, 9, 9));
    const CRect frame(1, 1, 9, 9);
    dc.Draw3dRect(&frame, RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(255, 0, 0));  // top-left corner
    EXPECT_EQ(dc.GetPixel(8, 1), RGB(0, 0, 255));  // right edge
    EXPECT_EQ(dc.GetPixel(1, 8), RGB(0, 0, 255));  // bottom edge
    EXPECT_EQ(dc.GetPixel(4, 4), RGB(255, 255, 255));
}

TEST(ImageListOwnership, ListIsDestroyedWithItsObject) {
    HIMAGELIST handle = nullptr;
    {
        CImageList list;
        ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 1, 0));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmap(IDB_SQUARE));
        EXPECT_EQ(list.Add(&bitmap, RGB(255, 255, 255)), 0);
        EXPECT_EQ(list.GetImageCount(), 1);
        handle = list.m_hImageList;
    }
    EXPECT_EQ(ImageList_GetImageCount(handle), 0);
}

TEST(StringBasics, FormatAndPieces) {
    CString s;
    s.Format(" [%s] ", "abc.txt");
    EXPECT_EQ(s, " [abc.txt] ");
    EXPECT_EQ(s.Find("abc"), 2);
    EXPECT_EQ(s.Mid(2, 3), "abc");
    EXPECT_EQ(s.Left(2), " [");
    CString big;
    big.Format("%0300d", 5);
    EXPECT_EQ(big.GetLength(), 300);
}

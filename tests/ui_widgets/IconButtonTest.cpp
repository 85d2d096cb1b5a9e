// The icon button on real dialog buttons under the window system: states reached
// through the messages a user's mouse and the dialog manager send, looks checked on
// the pixels the button paints into a memory DC.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "TestDialog.h"
#include "TestIds.h"
#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/OwnedWindow.h"
#include "tests/support/MessagePump.h"
#include "tests/support/PixelCanvas.h"

namespace {

constexpr COLORREF kRed = RGB(200, 40, 60);     // upper half of the test icon
constexpr COLORREF kGreen = RGB(10, 180, 90);   // lower half
constexpr COLORREF kRedGray = RGB(90, 90, 90);  // their luma: 0.299 r + 0.587 g + 0.114 b
constexpr COLORREF kGreenGray = RGB(118, 118, 118);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kIcon = 32;
constexpr int kIconRedLeft = 3 + 8;  // icon 3 pixels in; its first 8 columns are not red

COLORREF Sys(int index) {
    return ::GetSysColor(index);
}

CPoint ClientCentre(HWND window) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    return CPoint(rc.right / 2, rc.bottom / 2);
}

// The real pointer goes over the button and the button hears of it.
void Hover(HWND button) {
    CPoint p = ClientCentre(button);
    CPoint screen = p;
    ::ClientToScreen(button, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
}

void ParkPointer() {
    ::SetCursorPos(1200, 1000);
}

// Edge midpoints: top, left, bottom, right.
std::vector<COLORREF> Edges(const PixelCanvas& s, int inset = 0) {
    const int w = s.Width();
    const int h = s.Height();
    return {s.At(w / 2, inset), s.At(inset, h / 2), s.At(w / 2, h - 1 - inset),
            s.At(w - 1 - inset, h / 2)};
}

std::vector<COLORREF> Raised() {
    return {Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW),
            Sys(COLOR_BTNSHADOW)};
}
std::vector<COLORREF> Sunken() {
    return {Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT),
            Sys(COLOR_BTNHIGHLIGHT)};
}
std::vector<COLORREF> NoEdge() {
    return std::vector<COLORREF>(4, Sys(COLOR_BTNFACE));
}

auto Is(COLORREF color) {
    return [color](COLORREF c) { return c == color; };
}

void Click(HWND button, UINT down = WM_LBUTTONDOWN) {
    ::SendMessageA(button, down, MK_LBUTTON, MAKELPARAM(4, 4));
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

// A solid bitmap of the screen's format with a 4 x 4 corner of `corner`.
HBITMAP MakeBitmap(COLORREF fill, COLORREF corner) {
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(static_cast<HDC>(nullptr), 16, 16);
    {
        CDC dc;
        dc.CreateCompatibleDC(static_cast<HDC>(nullptr));
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 16, 16, fill);
        dc.FillSolidRect(0, 0, 4, 4, corner);
    }
    return static_cast<HBITMAP>(bitmap.Detach());
}

// Each test has a dialog of its own, a child of one top-level window that the
// suite shows at the screen's corner: hiding or destroying a shown top-level window
// takes seconds under Wine without a window manager, a child goes at once. The
// top-level window ends with the process for the same reason.
class IconButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        if (s_pHost == nullptr) {
            s_pHost = new CWnd;
            ASSERT_TRUE(s_pHost->CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE,
                                          RECT{0, 0, 400, 300}, nullptr, 0));
            ::SetForegroundWindow(*s_pHost);
            PumpMessages();
        }
    }
    void SetUp() override {
        ParkPointer();
        ASSERT_TRUE(m_dlg.Create(s_pHost));
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        PumpMessages();
    }
    void Show() {
        ::ShowWindow(m_dlg, SW_SHOW);
        ::SetForegroundWindow(*s_pHost);
        ::UpdateWindow(m_dlg);
        PumpMessages();
    }
    static inline CWnd* s_pHost = nullptr;  // lives as long as the process
    OwnedWindow<TestDialog> m_dlg;
};

TEST_F(IconButtonTest, SubclassingMakesOwnerDrawnButtonsAndReadsTheTemplateType) {
    auto type = [](CWnd& w) { return w.GetStyle() & 0x1F; };
    auto code = [](CWnd& w) { return w.SendMessage(WM_GETDLGCODE); };
    EXPECT_EQ(type(m_dlg.m_btnLogin), static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_FALSE(m_dlg.m_btnLogin.IsDefault());
    EXPECT_FALSE(m_dlg.m_btnLogin.IsCheckboxMode());
    EXPECT_EQ(code(m_dlg.m_btnLogin) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON),
              DLGC_UNDEFPUSHBUTTON);

    EXPECT_TRUE(m_dlg.m_btnDefault.IsDefault());
    EXPECT_EQ(code(m_dlg.m_btnDefault) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON),
              DLGC_DEFPUSHBUTTON);

    EXPECT_TRUE(m_dlg.m_btnCheck.IsCheckboxMode());
    EXPECT_EQ(type(m_dlg.m_btnCheck), static_cast<DWORD>(BS_OWNERDRAW));
    // An owner-drawn template is a push button, not a check button.
    EXPECT_FALSE(m_dlg.m_btnOwnerDrawn.IsCheckboxMode());
}

TEST_F(IconButtonTest, DialogManagerMovesTheDefaultAndTheButtonStaysOwnerDrawn) {
    Show();
    IconButton& def = m_dlg.m_btnDefault;
    m_dlg.SendMessage(DM_SETDEFID, IDC_PLAIN);
    EXPECT_FALSE(def.IsDefault());
    EXPECT_EQ(def.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, 0);
    EXPECT_EQ(def.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(::GetWindowLongA(m_dlg.GetDlgItem(IDC_PLAIN), GWL_STYLE) & 0x1F, BS_DEFPUSHBUTTON);

    m_dlg.SendMessage(DM_SETDEFID, IDC_LOGIN);
    EXPECT_TRUE(m_dlg.m_btnLogin.IsDefault());
    EXPECT_NE(m_dlg.m_btnLogin.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, 0);
    EXPECT_EQ(m_dlg.m_btnLogin.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));

    m_dlg.m_btnLogin.SetButtonStyle(BS_PUSHBUTTON);
    EXPECT_FALSE(m_dlg.m_btnLogin.IsDefault());
}

TEST_F(IconButtonTest, FlatAtRestRaisedUnderThePointerSunkenWhilePressed) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    ASSERT_EQ(btn.SetIcons(IDI_TEST_COLOR, IDI_TEST_COLOR), 0u);
    const PixelCanvas rest(btn);
    EXPECT_EQ(Edges(rest), NoEdge());

    Hover(btn);
    ASSERT_TRUE(btn.IsHovering());
    const PixelCanvas over(btn);
    EXPECT_EQ(Edges(over), Raised());
    // The same icon (the same id twice) shows with and without the pointer.
    EXPECT_EQ(over.Bounds(over.All(), Is(kRed)), rest.Bounds(rest.All(), Is(kRed)));

    btn.SetState(TRUE);
    const PixelCanvas down(btn);
    btn.SetState(FALSE);
    EXPECT_EQ(Edges(down), Sunken());
    CRect red = over.Bounds(over.All(), Is(kRed));
    red.OffsetRect(1, 1);
    EXPECT_EQ(down.Bounds(down.All(), Is(kRed)), red);
    const CRect captionArea(3 + kIcon + 2, 2, over.Width() - 2, over.Height() - 2);
    CRect text = over.Bounds(captionArea, Is(Sys(COLOR_BTNTEXT)));
    ASSERT_FALSE(text.IsRectEmpty());
    text.OffsetRect(1, 1);
    EXPECT_EQ(down.Bounds(captionArea, Is(Sys(COLOR_BTNTEXT))), text);

    // The pointer leaves for real: the leave notification ends the hover.
    ParkPointer();
    ASSERT_TRUE(WaitFor([&] { return !btn.IsHovering(); }));
    EXPECT_EQ(Edges(PixelCanvas(btn)), NoEdge());
}

TEST_F(IconButtonTest, HoverEndsOnFocusLossCancelModeDeactivationAndMovesOff) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    btn.SetFocus();
    Hover(btn);
    ASSERT_TRUE(btn.IsHovering());
    ::SetFocus(m_dlg.GetDlgItem(IDC_EDIT));
    EXPECT_FALSE(btn.IsHovering());

    Hover(btn);
    btn.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(btn.IsHovering());

    Hover(btn);
    btn.SendMessage(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_FALSE(btn.IsHovering());

    Hover(btn);
    btn.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-30, -30));  // a point off the button
    EXPECT_FALSE(btn.IsHovering());
}

TEST_F(IconButtonTest, DraggingOntoTheButtonStartsNoHover) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    const CPoint c = ClientCentre(btn);
    CPoint screen = c;
    btn.ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    // Where the pointer's own move reaches the button (a virtual desktop
    // reports it), it is a hover of its own: end it, then drag.
    PumpMessages();
    btn.SendMessage(WM_MOUSELEAVE);
    btn.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    EXPECT_FALSE(btn.IsHovering());
    btn.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    EXPECT_TRUE(btn.IsHovering());
    // Once hovering, holding the button down keeps the hover.
    btn.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    EXPECT_TRUE(btn.IsHovering());

    btn.SendMessage(WM_MOUSELEAVE);
    btn.SetFlat(FALSE);
    btn.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    EXPECT_FALSE(btn.IsHovering());
}

TEST_F(IconButtonTest, IconSitsLeftCentredVerticallyAndCaptionIsCentredInTheRest) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    ASSERT_EQ(btn.SetIcons(IDI_TEST_COLOR, IDI_TEST_COLOR), 0u);
    EXPECT_NE(btn.GetIconHandle(0), btn.GetIconHandle(1));  // two handles of one image
    EXPECT_EQ(btn.GetIconSize(1), CSize(kIcon, kIcon));
    const PixelCanvas s(btn);
    const int w = s.Width();
    const int h = s.Height();
    const int top = (h - kIcon) / 2;
    EXPECT_EQ(s.Bounds(s.All(), Is(kRed)), CRect(kIconRedLeft, top, 3 + kIcon, top + 16));
    EXPECT_EQ(s.Bounds(s.All(), Is(kGreen)), CRect(kIconRedLeft, top + 16, 3 + kIcon, top + 32));
    EXPECT_EQ(s.At(3, top), Sys(COLOR_BTNFACE));  // the icon's transparent corner
    EXPECT_EQ(s.At(8, top + 10), kBlack);

    const CRect text = s.Bounds(CRect(3 + kIcon, 0, w, h), Is(Sys(COLOR_BTNTEXT)));
    ASSERT_FALSE(text.IsRectEmpty());
    EXPECT_NEAR((text.left + text.right) / 2.0, (3 + kIcon + w) / 2.0, 2.0);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, h / 2.0, 2.0);
}

TEST_F(IconButtonTest, ImagePlacementForTheOtherAlignmentsAndWithoutCaption) {
    Show();
    IconButton& alone = m_dlg.m_btnNoCaption;
    alone.SetIcons(IDI_TEST_COLOR, 0);
    PixelCanvas s(alone);
    const CRect centred((s.Width() - kIcon) / 2 + 8, (s.Height() - kIcon) / 2,
                        (s.Width() - kIcon) / 2 + kIcon, (s.Height() - kIcon) / 2 + 16);
    EXPECT_EQ(s.Bounds(s.All(), Is(kRed)), centred);
    alone.SetAlign(IconButton::kAlignRight);
    s.Print(alone);
    EXPECT_EQ(s.Bounds(s.All(), Is(kRed)), centred);

    IconButton& btn = m_dlg.m_btnLogin;
    btn.SetIcons(IDI_TEST_COLOR, 0);
    btn.SetAlign(IconButton::kAlignTop);
    s.Print(btn);
    EXPECT_EQ(s.Bounds(s.All(), Is(kRed)).TopLeft(), CPoint((s.Width() - kIcon) / 2 + 8, 3));

    btn.SetAlign(IconButton::kAlignRight);
    s.Print(btn);
    const int iconLeft = s.Width() - kIcon - 3;
    EXPECT_EQ(s.Bounds(s.All(), Is(kRed)).TopLeft(),
              CPoint(iconLeft + 8, (s.Height() - kIcon) / 2));
    // The caption is centred between 3 and the icon.
    const CRect text = s.Bounds(CRect(0, 0, iconLeft, s.Height()), Is(Sys(COLOR_BTNTEXT)));
    ASSERT_FALSE(text.IsRectEmpty());
    EXPECT_NEAR((text.left + text.right) / 2.0, (3 + iconLeft) / 2.0, 2.0);
}

TEST_F(IconButtonTest, FlatLookHasNoDefaultFrameNorFocusRectTheClassicLookHasBoth) {
    Show();
    IconButton& def = m_dlg.m_btnDefault;
    def.SetFocus();
    PixelCanvas s(def);
    EXPECT_EQ(Edges(s), NoEdge());
    const CRect focusRing(3, 3, s.Width() - 3, 4);
    EXPECT_EQ(s.Count(focusRing, Is(Sys(COLOR_BTNFACE))), focusRing.Width());

    def.SetFlat(FALSE);
    s.Print(def);
    EXPECT_EQ(Edges(s), std::vector<COLORREF>(4, kBlack));
    const CRect classicRing(4, 4, s.Width() - 4, 5);  // inside the black frame
    EXPECT_LT(s.Count(classicRing, Is(Sys(COLOR_BTNFACE))), classicRing.Width());

    // Neither focused nor default: the 3-D edge, sunk to a shadow frame when pressed.
    IconButton& btn = m_dlg.m_btnLogin;
    btn.SetFlat(FALSE);
    s.Print(btn);
    EXPECT_EQ(Edges(s), (std::vector<COLORREF>{Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNHIGHLIGHT),
                                               Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DDKSHADOW)}));
    EXPECT_EQ(Edges(s, 1), (std::vector<COLORREF>{Sys(COLOR_3DLIGHT), Sys(COLOR_3DLIGHT),
                                                  Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)}));
    btn.SetState(TRUE);
    EXPECT_EQ(Edges(PixelCanvas(btn)), std::vector<COLORREF>(4, Sys(COLOR_BTNSHADOW)));
}

TEST_F(IconButtonTest, DoubleClickReachesTheParentAsTwoClicks) {
    Show();
    HWND btn = m_dlg.m_btnLogin;
    Click(btn);
    Click(btn, WM_LBUTTONDBLCLK);
    EXPECT_EQ(m_dlg.m_nLoginClicks, 2);
    EXPECT_EQ(m_dlg.m_nLoginDoubleClicks, 0);
    EXPECT_EQ(::GetFocus(), btn);
}

TEST_F(IconButtonTest, DisabledButtonEmbossesItsIconAndEngravesItsCaption) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    btn.SetIcons(IDI_TEST_COLOR, IDI_TEST_COLOR);
    PixelCanvas s(btn);
    const CRect captionArea(3 + kIcon + 2, 2, s.Width() - 2, s.Height() - 2);
    ASSERT_GT(s.Count(s.All(), kRed), 0);
    ASSERT_EQ(s.Count(captionArea, Sys(COLOR_BTNSHADOW)), 0);

    btn.EnableWindow(FALSE);
    s.Print(btn);
    EXPECT_EQ(s.Count(s.All(), kRed) + s.Count(s.All(), kGreen), 0);
    EXPECT_GT(s.Count(CRect(3, 0, 3 + kIcon + 1, s.Height()), Sys(COLOR_BTNSHADOW)), 0);
    EXPECT_EQ(s.Count(captionArea, Sys(COLOR_BTNTEXT)), 0);
    const CRect shadow = s.Bounds(captionArea, Is(Sys(COLOR_BTNSHADOW)));
    const CRect highlight = s.Bounds(captionArea, Is(Sys(COLOR_BTNHIGHLIGHT)));
    ASSERT_FALSE(shadow.IsRectEmpty());
    EXPECT_EQ(highlight.BottomRight(), CPoint(shadow.right + 1, shadow.bottom + 1));
}

TEST_F(IconButtonTest, DisablingHandsTheFocusOnOnlyWhenTheButtonHadIt) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    btn.SetFocus();
    ASSERT_EQ(::GetFocus(), btn.m_hWnd);
    btn.EnableWindow(FALSE);
    HWND focus = ::GetFocus();
    EXPECT_NE(focus, nullptr);
    EXPECT_NE(focus, btn.m_hWnd);
    EXPECT_EQ(focus, m_dlg.GetNextDlgTabItem(btn));

    btn.EnableWindow(TRUE);
    HWND edit = m_dlg.GetDlgItem(IDC_EDIT);
    ::SetFocus(edit);
    btn.EnableWindow(FALSE);
    EXPECT_EQ(::GetFocus(), edit);
}

TEST_F(IconButtonTest, CheckModeTogglesOnClickAndShowsTheCheckedStateSunken) {
    Show();
    IconButton& chk = m_dlg.m_btnCheck;
    chk.SetIcons(IDI_TEST_COLOR, IconButton::kGrayOutId);
    EXPECT_EQ(chk.GetCheck(), 0);
    Click(chk);
    EXPECT_EQ(chk.GetCheck(), 1);
    EXPECT_EQ(m_dlg.m_nCheckClicks, 1);
    PixelCanvas s(chk);
    EXPECT_EQ(Edges(s), Sunken());
    // Checked shows the in icon, not shifted.
    EXPECT_EQ(s.Bounds(s.All(), Is(kRed)).TopLeft(),
              CPoint(kIconRedLeft, (s.Height() - kIcon) / 2));

    Click(chk);
    EXPECT_EQ(chk.GetCheck(), 0);
    Hover(chk);  // hovering alone does not bring the in icon in check mode
    s.Print(chk);
    EXPECT_EQ(Edges(s), Raised());
    EXPECT_EQ(s.Count(s.All(), kRed), 0);
    EXPECT_GT(s.Count(s.All(), kRedGray), 0);

    chk.SetCheck(BST_INDETERMINATE);
    EXPECT_EQ(chk.GetCheck(), 1);
    chk.SetCheck(7);
    EXPECT_EQ(chk.GetCheck(), 0);
    m_dlg.m_btnLogin.SetCheckState(1);  // not a check button
    EXPECT_EQ(m_dlg.m_btnLogin.GetCheck(), 0);
}

TEST_F(IconButtonTest, GreyIdleIconTurnsColoredUnderThePointer) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    ASSERT_EQ(btn.SetIcons(IDI_TEST_COLOR, IconButton::kGrayOutId), 0u);
    ASSERT_NE(btn.GetIconHandle(1), nullptr);
    PixelCanvas s(btn);
    const int top = (s.Height() - kIcon) / 2;
    EXPECT_EQ(s.At(20, top + 5), kRedGray);
    EXPECT_EQ(s.At(20, top + 20), kGreenGray);
    EXPECT_EQ(s.At(8, top + 10), kBlack);
    EXPECT_EQ(s.At(3, top), Sys(COLOR_BTNFACE));
    Hover(btn);
    s.Print(btn);
    EXPECT_EQ(s.At(20, top + 5), kRed);
    EXPECT_EQ(s.At(20, top + 20), kGreen);
}

TEST_F(IconButtonTest, GreyCopyKeepsTheMaskBlackAndAlpha) {
    // 4 x 1 icon with per-pixel alpha: white, red-ish, black, and a masked-out pixel.
    const DWORD argb[4] = {0xFFFFFFFF, 0xFFC8283C, 0xFF000000, 0x00000000};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 4, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    CBitmap color;
    color.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_NE(bits, nullptr);
    std::memcpy(bits, argb, sizeof argb);
    const BYTE maskRow[2] = {0x10, 0x00};  // leftmost pixel in the top bit: pixel 3 clear
    CBitmap mask;
    mask.CreateBitmap(4, 1, 1, 1, maskRow);
    ICONINFO made{TRUE, 0, 0, mask, color};
    HICON icon = ::CreateIconIndirect(&made);
    ASSERT_NE(icon, nullptr);

    HICON gray = m_dlg.m_btnLogin.CreateGrayIcon(icon);
    ASSERT_NE(gray, nullptr);
    auto draw = [](HICON i) {
        std::vector<COLORREF> px;
        CBitmap target;
        target.CreateCompatibleBitmap(static_cast<HDC>(nullptr), 4, 1);
        CDC dc;
        dc.CreateCompatibleDC(static_cast<HDC>(nullptr));
        dc.SelectObject(&target);
        dc.FillSolidRect(0, 0, 4, 1, RGB(0, 0, 255));
        dc.DrawIconEx(0, 0, i, 4, 1, nullptr, DI_NORMAL);
        for (int x = 0; x < 4; ++x) {
            px.push_back(dc.GetPixel(x, 0));
        }
        return px;
    };
    EXPECT_EQ(draw(gray),
              (std::vector<COLORREF>{RGB(255, 255, 255), kRedGray, kBlack, RGB(0, 0, 255)}));
    ::DestroyIcon(gray);
    ::DestroyIcon(icon);
}

TEST_F(IconButtonTest, ButtonOwnsItsIconsAndSurvivesBadOnes) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    ICONINFO info{};
    btn.SetIcons(IDI_TEST_COLOR, IDI_TEST_COLOR);
    HICON first = btn.GetIconHandle(0);
    btn.SetIcons(IDI_TEST_COLOR, 0);
    EXPECT_FALSE(::GetIconInfo(first, &info));  // the replaced icons are destroyed
    EXPECT_EQ(btn.GetIconHandle(1), nullptr);

    // A missing resource: caption only, and no error.
    EXPECT_EQ(btn.SetIcons(999, 999), 0u);
    EXPECT_EQ(btn.GetIconHandle(0), nullptr);
    PixelCanvas s(btn);
    EXPECT_EQ(s.Count(s.All(), kRed), 0);
    EXPECT_GT(s.Count(s.All(), Sys(COLOR_BTNTEXT)), 0);

    HICON orphan = ::CopyIcon(::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(btn.SetIconHandles(nullptr, orphan), 0u);
    EXPECT_FALSE(::GetIconInfo(orphan, &info));  // taken over, so not leaked

    EXPECT_EQ(btn.SetIconHandles(reinterpret_cast<HICON>(0x1234), nullptr), 1u);
    EXPECT_EQ(btn.GetIconHandle(0), nullptr);
}

TEST_F(IconButtonTest, TransparentModeShowsTheParentBackgroundCapturedOnce) {
    IconButton& btn = m_dlg.m_btnLogin;
    m_dlg.SetBackground(RGB(255, 0, 255));
    btn.SetTransparent(TRUE);
    Show();
    const auto corner = [&] {
        const PixelCanvas s(btn);
        return s.At(s.Width() - 3, 3);
    };
    EXPECT_EQ(corner(), RGB(255, 0, 255));
    EXPECT_EQ(Edges(PixelCanvas(m_dlg.m_btnDefault)), NoEdge());  // the others paint their face

    const UINT redraw = RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW;
    m_dlg.SetBackground(RGB(0, 255, 255));
    ::RedrawWindow(m_dlg, nullptr, nullptr, redraw);
    EXPECT_EQ(corner(), RGB(255, 0, 255));  // the captured background is reused
    btn.SendMessage(WM_SYSCOLORCHANGE);
    ::RedrawWindow(m_dlg, nullptr, nullptr, redraw);
    EXPECT_EQ(corner(), RGB(0, 255, 255));

    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(m_dlg.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(screen),
                                reinterpret_cast<LPARAM>(btn.m_hWnd)),
              reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    ::ReleaseDC(nullptr, screen);
}

TEST_F(IconButtonTest, ColorsFollowInOutAndFocusStates) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    ::SetFocus(m_dlg.GetDlgItem(IDC_EDIT));
    btn.SetColor(IconButton::kBackOut, RGB(0, 0, 128));
    btn.SetColor(IconButton::kForeOut, RGB(255, 255, 0));
    btn.SetColor(IconButton::kBackIn, RGB(0, 128, 0));
    btn.SetColor(IconButton::kForeIn, RGB(255, 0, 255));
    btn.SetColor(IconButton::kBackFocus, RGB(128, 0, 0));
    PixelCanvas s(btn);
    EXPECT_EQ(s.At(s.Width() - 3, 3), RGB(0, 0, 128));
    EXPECT_GT(s.Count(s.All(), RGB(255, 255, 0)), 0);
    Hover(btn);
    s.Print(btn);
    EXPECT_EQ(s.At(s.Width() - 3, 3), RGB(0, 128, 0));
    EXPECT_GT(s.Count(s.All(), RGB(255, 0, 255)), 0);
    btn.SendMessage(WM_MOUSELEAVE);
    btn.SetFocus();
    s.Print(btn);
    EXPECT_EQ(s.At(s.Width() - 3, 3), RGB(128, 0, 0));
    btn.SetDefaultColors();
    EXPECT_EQ(btn.GetColor(IconButton::kBackFocus), Sys(COLOR_BTNFACE));
}

TEST_F(IconButtonTest, BitmapsShowOutIdleInUnderThePointerAndEmbossedWhenDisabled) {
    Show();
    IconButton& btn = m_dlg.m_btnNoCaption;
    const COLORREF magenta = RGB(255, 0, 255);
    ASSERT_EQ(btn.SetBitmapHandles(MakeBitmap(RGB(255, 0, 0), magenta),
                                   MakeBitmap(RGB(0, 0, 255), magenta), magenta),
              0u);
    PixelCanvas s(btn);
    const int left = (s.Width() - 16) / 2;
    const int top = (s.Height() - 16) / 2;
    EXPECT_EQ(s.Bounds(s.All(), Is(RGB(0, 0, 255))), CRect(left, top, left + 16, top + 16));
    EXPECT_EQ(s.Count(s.All(), magenta), 0);
    EXPECT_EQ(s.At(left, top), Sys(COLOR_BTNFACE));
    Hover(btn);
    s.Print(btn);
    EXPECT_GT(s.Count(s.All(), RGB(255, 0, 0)), 0);
    EXPECT_EQ(s.Count(s.All(), RGB(0, 0, 255)), 0);

    btn.EnableWindow(FALSE);
    s.Print(btn);
    EXPECT_EQ(s.Count(s.All(), RGB(255, 0, 0)) + s.Count(s.All(), RGB(0, 0, 255)), 0);
    EXPECT_GT(s.Count(CRect(left, top, left + 17, top + 17), Sys(COLOR_BTNSHADOW)), 0);

    EXPECT_EQ(btn.SetBitmapHandles(reinterpret_cast<HBITMAP>(0x1234), nullptr, magenta), 1u);
}

TEST_F(IconButtonTest, TooltipIsMadeOnceInactiveWithNoTools) {
    IconButton& btn = m_dlg.m_btnLogin;
    // A popup's owner is the top-level window of the child it is created for.
    const auto tips = [&] {
        std::pair<HWND, std::vector<HWND>> search{::GetAncestor(m_dlg, GA_ROOT), {}};
        auto collect = [](HWND w, LPARAM found) -> BOOL {
            auto* s = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(found);
            char name[64] = {};
            ::GetClassNameA(w, name, sizeof name);
            if (std::string(name) == TOOLTIPS_CLASSA && ::GetWindow(w, GW_OWNER) == s->first) {
                s->second.push_back(w);
            }
            return TRUE;
        };
        ::EnumThreadWindows(::GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&search));
        return search.second;
    };
    ASSERT_TRUE(tips().empty());
    MSG msg{btn.m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    btn.PreTranslateMessage(&msg);
    btn.PreTranslateMessage(&msg);
    const std::vector<HWND> made = tips();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(::SendMessageA(made[0], TTM_GETMAXTIPWIDTH, 0, 0), 400);
    EXPECT_EQ(::SendMessageA(made[0], TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST_F(IconButtonTest, LinkIsKeptBoundedAndAClickStillNotifiesTheParent) {
    Show();
    IconButton& btn = m_dlg.m_btnLogin;
    EXPECT_STREQ(btn.GetLinkUrl(), "");
    const std::string longUrl(300, 'a');
    btn.SetLinkUrl(longUrl.c_str());
    EXPECT_EQ(std::string(btn.GetLinkUrl()), longUrl.substr(0, 259));
    btn.SetLinkUrl(nullptr);
    EXPECT_STREQ(btn.GetLinkUrl(), "");

    // A file that does not exist in the test's own folder: nothing opens.
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string missing = std::string(folder) + "\\no-such-file.velqo-test";
    btn.SetLinkUrl(missing.c_str());
    Click(btn);
    EXPECT_EQ(m_dlg.m_nLoginClicks, 1);
}

TEST_F(IconButtonTest, OwnCursorIsShownOverTheButton) {
    IconButton& btn = m_dlg.m_btnLogin;
    HCURSOR own = static_cast<HCURSOR>(
        ::CopyImage(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)), IMAGE_CURSOR, 0, 0, 0));
    ASSERT_NE(own, nullptr);
    btn.SetBtnCursor(own);
    EXPECT_EQ(btn.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(btn.m_hWnd),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), own);
    ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // so the button can free it
}

}  // namespace

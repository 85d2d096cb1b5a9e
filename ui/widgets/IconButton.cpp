#include "ui/widgets/IconButton.h"

#include <shellapi.h>

#include <cstring>

#include "framework/CBrush.h"
#include "framework/CClientDC.h"
#include "framework/CString.h"
#include "framework/CWinApp.h"
#include "ui/widgets/ButtonPainter.h"

namespace {

// The button type field of a button style (BS_PUSHBUTTON ... BS_OWNERDRAW).
constexpr UINT kButtonTypeMask = 0x1F;
constexpr int kFocusInset = 3;
constexpr int kMaxTipWidth = 400;

CRect FromLayout(const button_layout::Rect& r) {
    return CRect(r.left, r.top, r.right, r.bottom);
}

}  // namespace

BEGIN_MESSAGE_MAP(IconButton, CButton)
ON_MESSAGE(WM_SETCURSOR, &IconButton::OnSetCursor)
ON_MESSAGE(WM_KILLFOCUS, &IconButton::OnKillFocus)
ON_MESSAGE(WM_MOUSEMOVE, &IconButton::OnMouseMove)
ON_MESSAGE(WM_SYSCOLORCHANGE, &IconButton::OnSysColorChange)
ON_CONTROL_REFLECT_EX(BN_CLICKED, &IconButton::OnClicked)
ON_MESSAGE(WM_ACTIVATE, &IconButton::OnActivate)
ON_MESSAGE(WM_ENABLE, &IconButton::OnEnable)
ON_MESSAGE(WM_CANCELMODE, &IconButton::OnCancelMode)
ON_MESSAGE(WM_GETDLGCODE, &IconButton::OnGetDlgCode)
ON_CTLCOLOR_REFLECT(&IconButton::CtlColor)
ON_MESSAGE(BM_SETSTYLE, &IconButton::OnSetStyle)
ON_MESSAGE(WM_MOUSELEAVE, &IconButton::OnMouseLeave)
ON_MESSAGE(BM_SETCHECK, &IconButton::OnSetCheck)
ON_MESSAGE(BM_GETCHECK, &IconButton::OnGetCheck)
ON_MESSAGE(WM_MENUCHAR, &IconButton::OnMenuChar)
ON_MESSAGE(WM_MEASUREITEM, &IconButton::OnMeasureItem)
END_MESSAGE_MAP()

IconButton::IconButton()
    : m_bShowDisabledBitmap(TRUE),
      m_bFlat(TRUE),
      m_bHovering(FALSE),
      m_bTransparent(FALSE),
      m_bPressed(FALSE),
      m_bFocused(FALSE),
      m_bDisabled(FALSE),
      m_bIsDefault(FALSE),
      m_bCheckboxMode(FALSE),
      m_nAlign(kAlignLeft),
      m_bDrawBorder(TRUE),
      m_bFocusRectWhenFlat(FALSE),
      m_bTrackWhenInactive(TRUE),
      m_nCheckState(0),
      m_crColors{},
      m_hMenuOwner(nullptr),
      m_bMenuShowing(FALSE),
      m_szLinkUrl{} {
    SetDefaultColors(FALSE);
}

IconButton::~IconButton() {
    // The menu's tree goes before the members do.
    if (m_menu.m_hMenu != nullptr) {
        m_menu.DestroyTree();
    }
}

DWORD IconButton::SetIcons(UINT idIn, UINT idOut) {
    const char* inName = MAKEINTRESOURCEA(idIn);
    HINSTANCE module = AfxFindResourceHandle(inName, reinterpret_cast<const char*>(RT_GROUP_ICON));
    HICON in = static_cast<HICON>(::LoadImageA(module, inName, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    HICON out = nullptr;
    if (idOut == kGrayOutId) {
        out = kGrayOutIcon;
    } else if (idOut != 0) {
        out = static_cast<HICON>(
            ::LoadImageA(module, MAKEINTRESOURCEA(idOut), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    }
    return SetIconHandles(in, out);
}

DWORD IconButton::SetIconHandles(HICON in, HICON out) {
    if (out == kGrayOutIcon) {
        out = CreateGrayIcon(in);
    }
    const bool ok = m_images.SetIcons(in, out);
    Repaint(ok);
    return ok ? 0 : 1;
}

HICON IconButton::CreateGrayIcon(HICON icon) {
    CClientDC windowDC(m_hWnd);
    return ButtonImages::MakeGrayIcon(icon, windowDC);
}

DWORD IconButton::SetBitmapHandles(HBITMAP in, HBITMAP out, COLORREF transparent) {
    const bool ok = m_images.SetBitmaps(in, out, transparent);
    Repaint(ok);
    return ok ? 0 : 1;
}

DWORD IconButton::SetCheckState(int state, BOOL repaint) {
    if (m_bCheckboxMode) {
        m_nCheckState = state != 0 ? 1 : 0;
        Repaint(repaint);
    }
    return 0;
}

DWORD IconButton::SetDefaultColors(BOOL repaint) {
    const COLORREF back = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF fore = ::GetSysColor(COLOR_BTNTEXT);
    m_crColors[kBackIn] = back;
    m_crColors[kForeIn] = fore;
    m_crColors[kBackOut] = back;
    m_crColors[kForeOut] = fore;
    m_crColors[kBackFocus] = back;
    m_crColors[kForeFocus] = fore;
    Repaint(repaint);
    return 0;
}

DWORD IconButton::SetColor(BYTE index, COLORREF color, BOOL repaint) {
    if (index >= kColorCount) {
        return 1;
    }
    m_crColors[index] = color;
    Repaint(repaint);
    return 0;
}

DWORD IconButton::SetLinkUrl(const char* url) {
    std::memset(m_szLinkUrl, 0, sizeof m_szLinkUrl);
    if (url != nullptr) {
        std::strncpy(m_szLinkUrl, url, sizeof m_szLinkUrl - 1);
    }
    return 0;
}

void IconButton::SetFlat(BOOL flat, BOOL repaint) {
    m_bFlat = flat;
    if (!flat) {
        m_bHovering = FALSE;
    }
    Repaint(repaint);
}

void IconButton::SetAlign(BYTE align, BOOL repaint) {
    m_nAlign = align;
    Repaint(repaint);
}

void IconButton::SetDrawBorder(BOOL draw, BOOL repaint) {
    m_bDrawBorder = draw;
    Repaint(repaint);
}

void IconButton::SetFocusRectWhenFlat(BOOL draw, BOOL repaint) {
    m_bFocusRectWhenFlat = draw;
    Repaint(repaint);
}

void IconButton::SetShowDisabledBitmap(BOOL emboss, BOOL repaint) {
    m_bShowDisabledBitmap = emboss;
    Repaint(repaint);
}

void IconButton::SetTransparent(BOOL transparent, BOOL repaint) {
    m_bTransparent = transparent;
    if (!transparent) {
        DropBackground();
    }
    Repaint(repaint);
}

void IconButton::PreSubclassWindow() {
    const DWORD type = GetStyle() & kButtonTypeMask;
    // Only the two check-box types; an owner-drawn template (0x0B) shares the bit 0x02.
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
        m_bCheckboxMode = TRUE;
    }
    if (type == BS_DEFPUSHBUTTON) {
        m_bIsDefault = TRUE;
    }
    ModifyStyle(kButtonTypeMask, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL IconButton::PreTranslateMessage(MSG* msg) {
    EnsureTooltip();
    if (m_tooltip.GetSafeHwnd() != nullptr) {
        m_tooltip.RelayEvent(msg);
    }
    return CButton::PreTranslateMessage(msg);
}

LRESULT IconButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A quick second click is a second press (and a second BN_CLICKED), never a
    // double-click notification.
    if (message == WM_LBUTTONDBLCLK) {
        message = WM_LBUTTONDOWN;
    }
    return CButton::DefWindowProc(message, wParam, lParam);
}

// ---- Painting

void IconButton::TakeItemState(UINT itemState) {
    const bool selected = (itemState & ODS_SELECTED) != 0;
    m_bPressed = m_bCheckboxMode ? (selected || m_nCheckState != 0) : selected;
    if (!m_bCheckboxMode && m_menu.m_hMenu != nullptr && m_bMenuShowing) {
        m_bPressed = TRUE;  // drawn pressed while the drop-down is open
    }
    m_bFocused = (itemState & ODS_FOCUS) != 0 ? TRUE : FALSE;
    m_bDisabled = (itemState & ODS_DISABLED) != 0 ? TRUE : FALSE;
}

void IconButton::DrawItem(DRAWITEMSTRUCT* item) {
    TakeItemState(item->itemState);
    CDC dc;
    dc.Attach(item->hDC);
    const int saved = dc.SaveDC();

    const CRect itemRect(item->rcItem);
    CRect work = itemRect;
    dc.SetBkMode(TRANSPARENT);

    if (!m_bFlat && (m_bFocused || m_bIsDefault)) {
        CBrush black(RGB(0, 0, 0));
        dc.FrameRect(&work, black);
        work.DeflateRect(1, 1);
    }

    if (m_bTransparent) {
        PaintParentBackground(&dc);
    } else {
        OnDrawBackground(&dc, &work);
    }

    if (m_bPressed) {
        if (m_bFlat) {
            if (m_bDrawBorder) {
                OnDrawBorder(&dc, &work);
            }
        } else {
            CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
            dc.FrameRect(&work, shadow);
        }
    } else if (m_bFlat) {
        if (m_bHovering && m_bDrawBorder) {
            OnDrawBorder(&dc, &work);
        }
    } else {
        ButtonPainter::DrawClassicEdge(dc, work);
    }

    CString caption;
    GetWindowText(caption);
    const int slot = ImageSlot();
    const CSize imageSize = m_images.HasIcons()     ? m_images.IconSize(slot)
                            : m_images.HasBitmaps() ? m_images.BitmapSize(slot)
                                                    : CSize();
    CRect client;
    GetClientRect(&client);
    const button_layout::Placement place = button_layout::Place(
        m_nAlign, ToLayout(itemRect), ToLayout(client), {imageSize.cx, imageSize.cy},
        !caption.IsEmpty(), m_bPressed && !m_bCheckboxMode);
    m_images.Draw(&dc, slot, FromLayout(place.image), m_bDisabled, m_bShowDisabledBitmap);
    if (!caption.IsEmpty()) {
        const bool in = m_bHovering || m_bPressed;
        ButtonPainter::DrawCaption(&dc, caption, FromLayout(place.caption), m_bDisabled,
                                   m_crColors[in ? kForeIn : kForeOut],
                                   m_crColors[in ? kBackIn : kBackOut]);
    }

    if (m_bFocused && (!m_bFlat || m_bFocusRectWhenFlat)) {
        CRect focusRect = work;
        focusRect.DeflateRect(kFocusInset, kFocusInset);
        dc.DrawFocusRect(&focusRect);
    }
    dc.RestoreDC(saved);
}

int IconButton::ImageSlot() const {
    const bool in = m_bCheckboxMode ? m_bPressed != FALSE : (m_bPressed || m_bHovering);
    return in || !m_images.HasOut() ? ButtonImages::kIn : ButtonImages::kOut;
}

DWORD IconButton::OnDrawBackground(CDC* dc, CRect* rect) {
    COLORREF color = m_crColors[kBackOut];
    if (m_bHovering || m_bPressed) {
        color = m_crColors[kBackIn];
    } else if (m_bFocused) {
        color = m_crColors[kBackFocus];
    }
    CBrush brush(color);
    dc->FillRect(rect, brush);
    return 0;
}

DWORD IconButton::OnDrawBorder(CDC* dc, CRect* rect) {
    ButtonPainter::DrawFlatBorder(dc, *rect, m_bPressed != FALSE);
    return 0;
}

void IconButton::PaintParentBackground(CDC* dc) {
    HWND parent = GetParentHwnd();
    CRect client;
    GetClientRect(&client);
    // The client area's origin, not the window's: a framed button (the Login button has
    // a modal frame) would otherwise show the parent shifted by its frame width.
    POINT origin{0, 0};
    ::MapWindowPoints(m_hWnd, parent, &origin, 1);
    if (m_backDC.GetSafeHdc() == nullptr) {
        CClientDC parentDC(parent);
        if (!m_backDC.CreateCompatibleDC(&parentDC) ||
            !m_backBitmap.CreateCompatibleBitmap(&parentDC, client.Width(), client.Height()) ||
            m_backDC.SelectObject(&m_backBitmap) == nullptr) {
            DropBackground();
            OnDrawBackground(dc, &client);
            return;
        }
        m_backDC.BitBlt(0, 0, client.Width(), client.Height(), &parentDC, origin.x, origin.y,
                        SRCCOPY);
    }
    dc->BitBlt(0, 0, client.Width(), client.Height(), &m_backDC, 0, 0, SRCCOPY);
}

void IconButton::DropBackground() {
    // The DC first: it gives the bitmap back as it goes.
    m_backDC.DeleteDC();
    m_backBitmap.DeleteObject();
}

void IconButton::Repaint(BOOL repaint) {
    if (repaint && m_hWnd != nullptr) {
        Invalidate();
    }
}

// ---- States

LRESULT IconButton::OnSetCursor(WPARAM, LPARAM) {
    if (m_cursor.Get() != nullptr) {
        ::SetCursor(m_cursor.Get());
        return TRUE;
    }
    return Default();
}

LRESULT IconButton::OnKillFocus(WPARAM, LPARAM) {
    const LRESULT result = Default();
    CancelHover();
    return result;
}

LRESULT IconButton::OnMouseMove(WPARAM flags, LPARAM point) {
    const LRESULT result = Default();
    CPoint screen = CPoint::FromLParam(point);
    ClientToScreen(&screen);
    HWND under = ::WindowFromPoint(screen);
    // No hover starts while something is being dragged over the button.
    if ((flags & MK_LBUTTON) != 0 && !m_bHovering) {
        return result;
    }
    if (!m_bFlat) {
        return result;
    }
    const bool active = m_bTrackWhenInactive || ::GetActiveWindow() != nullptr;
    if (under == m_hWnd && active) {
        StartHover();
    } else {
        CancelHover();
    }
    return result;
}

void IconButton::StartHover() {
    if (m_bHovering) {
        return;
    }
    m_bHovering = TRUE;
    Invalidate(TRUE);
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    ::_TrackMouseEvent(&track);
}

void IconButton::CancelHover() {
    if (m_bFlat && m_bHovering) {
        m_bHovering = FALSE;
        Invalidate();
    }
}

LRESULT IconButton::OnSysColorChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    DropBackground();
    return result;
}

BOOL IconButton::OnClicked() {
    SetFocus();
    if (m_bCheckboxMode) {
        ToggleCheck();
    } else if (m_menu.m_hMenu != nullptr) {
        TrackDropDown();
    } else if (m_szLinkUrl[0] != '\0') {
        OpenLink();
    }
    // The parent still gets the click.
    return FALSE;
}

void IconButton::TrackDropDown() {
    CRect rect;
    ::GetWindowRect(m_hWnd, &rect);
    m_bMenuShowing = TRUE;
    Invalidate();
    CMenu* popup = m_menu.GetSubMenu(0);
    const UINT command = popup != nullptr
                             ? static_cast<UINT>(popup->TrackPopupMenu(
                                   TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                   rect.left, rect.bottom, this))
                             : 0;
    m_bMenuShowing = FALSE;
    Invalidate();
    if (command != 0) {
        // Without a named owner the command goes to the button's parent, which
        // already hears of the click, rather than to no window at all.
        HWND owner = m_hMenuOwner != nullptr ? m_hMenuOwner : GetParentHwnd();
        ::PostMessageA(owner, WM_COMMAND, MAKEWPARAM(LOWORD(command), 0), 0);
    }
}

BOOL IconButton::AttachMenu(UINT templateId, HWND owner) {
    m_hMenuOwner = owner;
    return m_menu.LoadTemplate(templateId);
}

LRESULT IconButton::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (!IconMenu::IsRegisteredMenu(menu)) {
        return Default();
    }
    return IconMenu::HandleMenuChar(LOWORD(wParam), HIWORD(wParam),
                                    CMenu::FromHandlePermanent(menu));
}

LRESULT IconButton::OnMeasureItem(WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    HMENU menu = static_cast<HMENU>(LongToHandle(static_cast<LONG>(item->itemID)));
    if (item->CtlType == ODT_MENU && ::IsMenu(menu) && IconMenu::IsRegisteredMenu(menu)) {
        m_menu.MeasureItem(item);
        return TRUE;
    }
    CButton::OnMeasureItem(static_cast<int>(wParam), item);
    return TRUE;
}

void IconButton::ToggleCheck() {
    m_nCheckState = m_nCheckState != 0 ? 0 : 1;
    Invalidate();
}

void IconButton::OpenLink() {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = m_szLinkUrl;
    info.nShow = SW_SHOWMAXIMIZED;
    ::ShellExecuteExA(&info);
}

LRESULT IconButton::OnActivate(WPARAM state, LPARAM) {
    const LRESULT result = Default();
    if (LOWORD(state) == WA_INACTIVE) {
        CancelHover();
    }
    return result;
}

LRESULT IconButton::OnEnable(WPARAM enabled, LPARAM) {
    const LRESULT result = Default();
    if (enabled == FALSE) {
        // Disabling the focused button leaves its window with no focus (or, on some
        // systems, the focus on a disabled button): hand it on. A focus elsewhere stays.
        HWND focus = ::GetFocus();
        HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
        if (focus == m_hWnd || (focus == nullptr && ::GetActiveWindow() == root)) {
            HWND parent = GetParentHwnd();
            HWND next = parent != nullptr ? ::GetNextDlgTabItem(parent, m_hWnd, FALSE) : nullptr;
            ::SetFocus(next != nullptr && next != m_hWnd ? next : parent);
        }
        CancelHover();
    }
    return result;
}

LRESULT IconButton::OnCancelMode(WPARAM, LPARAM) {
    const LRESULT result = Default();
    CancelHover();
    return result;
}

LRESULT IconButton::OnGetDlgCode(WPARAM, LPARAM) {
    LRESULT code = Default() & ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    return code | (m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH IconButton::CtlColor(CDC*, UINT) {
    // DrawItem paints the whole face: nothing is erased first.
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT IconButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    const UINT type = static_cast<UINT>(style) & kButtonTypeMask;
    if (type == BS_DEFPUSHBUTTON) {
        m_bIsDefault = TRUE;
    } else if (type == BS_PUSHBUTTON) {
        m_bIsDefault = FALSE;
    }
    // The dialog manager's style change must not turn the button back into a standard one.
    const WPARAM ownerDrawn = (style & ~static_cast<WPARAM>(kButtonTypeMask)) | BS_OWNERDRAW;
    return DefWindowProc(BM_SETSTYLE, ownerDrawn, redraw);
}

LRESULT IconButton::OnMouseLeave(WPARAM, LPARAM) {
    CancelHover();
    return 0;
}

LRESULT IconButton::OnSetCheck(WPARAM check, LPARAM) {
    SetCheckState(check == BST_CHECKED || check == BST_INDETERMINATE ? 1 : 0, TRUE);
    return 0;
}

LRESULT IconButton::OnGetCheck(WPARAM, LPARAM) {
    return m_nCheckState;
}

void IconButton::EnsureTooltip() {
    if (m_tooltip.GetSafeHwnd() != nullptr) {
        return;
    }
    if (m_tooltip.Create(this, 0)) {
        m_tooltip.Activate(FALSE);
        m_tooltip.SetMaxTipWidth(kMaxTipWidth);
    }
}

#include "ui/widgets/IconButton.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "framework/CBrush.h"
#include "framework/CClientDC.h"
#include "framework/CPen.h"
#include "framework/CString.h"
#include "framework/CWinApp.h"

namespace {

constexpr UINT kButtonTypeMask = 0x1F;
constexpr UINT kCaptionMeasure = DT_WORDBREAK | DT_CENTER | DT_CALCRECT;
constexpr UINT kCaptionDraw = DT_WORDBREAK | DT_CENTER;
constexpr int kImageMargin = 3;
constexpr int kFocusInset = 3;
constexpr int kMaxTipWidth = 400;

// The icon's own size, read from its bitmaps (a colour icon's colour bitmap; a
// monochrome icon's mask holds the AND and XOR halves one above the other).
bool MeasureIcon(HICON icon, DWORD* width, DWORD* height) {
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) {
        return false;
    }
    CBitmap colour;
    colour.Attach(info.hbmColor);
    CBitmap mask;
    mask.Attach(info.hbmMask);
    BITMAP bm{};
    if (colour.GetBitmap(&bm)) {
        *width = static_cast<DWORD>(bm.bmWidth);
        *height = static_cast<DWORD>(bm.bmHeight);
        return true;
    }
    if (mask.GetBitmap(&bm)) {
        *width = static_cast<DWORD>(bm.bmWidth);
        *height = static_cast<DWORD>(bm.bmHeight / 2);
        return true;
    }
    return false;
}

// Measures `record.image` and builds its mask: white where the image has the
// `transparent` colour, black elsewhere; those pixels of the image turn black so
// that mask-AND then image-OR leaves the background there.
bool PrepareBitmap(HBITMAP image, COLORREF transparent, DWORD* width, DWORD* height,
                   HBITMAP* maskOut) {
    BITMAP bm{};
    if (image == nullptr || ::GetObjectType(image) != OBJ_BITMAP ||
        ::GetObjectA(image, sizeof bm, &bm) != static_cast<int>(sizeof bm)) {
        return false;
    }
    CBitmap mask;
    if (!mask.CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr)) {
        return false;
    }
    {
        CDC imageDC;
        CDC maskDC;
        if (!imageDC.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
            !maskDC.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
            imageDC.SelectObject(image) == nullptr || maskDC.SelectObject(&mask) == nullptr) {
            return false;
        }
        imageDC.SetBkColor(transparent);
        maskDC.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &imageDC, 0, 0, SRCCOPY);
        imageDC.SetBkColor(RGB(0, 0, 0));
        imageDC.SetTextColor(RGB(255, 255, 255));
        imageDC.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &maskDC, 0, 0, SRCAND);
    }
    *width = static_cast<DWORD>(bm.bmWidth);
    *height = static_cast<DWORD>(bm.bmHeight);
    *maskOut = static_cast<HBITMAP>(mask.Detach());
    return true;
}

// ITU-R BT.601 luma of a colour, truncated toward zero.
BYTE Luma(COLORREF colour) {
    return static_cast<BYTE>(
        (299 * GetRValue(colour) + 587 * GetGValue(colour) + 114 * GetBValue(colour)) / 1000);
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
END_MESSAGE_MAP()

IconButton::IconButton()
    : showDisabledBitmap(TRUE),
      flatLook(TRUE),
      hovering(FALSE),
      transparentBack(FALSE),
      pressed(FALSE),
      focused(FALSE),
      disabled(FALSE),
      isDefault(FALSE),
      checkboxMode(FALSE),
      imageAlign(kAlignLeft),
      drawBorder(TRUE),
      focusRectWhenFlat(FALSE),
      colors{},
      cursor(nullptr),
      oldBackBitmap(nullptr),
      trackWhenInactive(TRUE),
      checkState(0),
      linkUrl{},
      icons{},
      bitmaps{} {
    FreeImages(FALSE);
    SetDefaultColors(FALSE);
    SetLinkUrl(nullptr);
}

IconButton::~IconButton() {
    // backBitmap goes before backDC: it must not be selected any more by then.
    if (backDC.GetSafeHdc() != nullptr && oldBackBitmap != nullptr) {
        backDC.SelectObject(oldBackBitmap);
    }
    FreeImages(TRUE);
    if (cursor != nullptr) {
        ::DestroyCursor(cursor);
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
    FreeImages(TRUE);
    // Both handles are ours from here on, so one we do not keep is destroyed.
    const bool outIsHandle = out != nullptr && out != kGrayOutIcon && out != in;
    if (in == nullptr) {
        if (outIsHandle) {
            ::DestroyIcon(out);
        }
        Repaint(TRUE);
        return 0;
    }
    icons[0].handle = in;
    if (!MeasureIcon(in, &icons[0].width, &icons[0].height)) {
        if (outIsHandle) {
            ::DestroyIcon(out);
        }
        FreeImages(TRUE);
        return 1;
    }
    if (out != nullptr) {
        if (out == kGrayOutIcon) {
            out = CreateGrayIcon(in);
        }
        icons[1].handle = out;
        if (!MeasureIcon(out, &icons[1].width, &icons[1].height)) {
            FreeImages(TRUE);
            return 1;
        }
    }
    Repaint(TRUE);
    return 0;
}

HICON IconButton::CreateGrayIcon(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) {
        return nullptr;
    }
    CBitmap colour;
    colour.Attach(info.hbmColor);
    CBitmap mask;
    mask.Attach(info.hbmMask);
    BITMAP bm{};
    if (!colour.GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        return nullptr;
    }
    // The pixels go through 32-bit DIB rows rather than GetPixel/SetPixel, which would
    // clear the alpha byte of every pixel they write: an icon with per-pixel alpha
    // would then draw its grey pixels fully transparent.
    BITMAPINFO layout{};
    layout.bmiHeader.biSize = sizeof layout.bmiHeader;
    layout.bmiHeader.biWidth = bm.bmWidth;
    layout.bmiHeader.biHeight = -bm.bmHeight;  // top-down rows
    layout.bmiHeader.biPlanes = 1;
    layout.bmiHeader.biBitCount = 32;
    layout.bmiHeader.biCompression = BI_RGB;
    const size_t count = static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight);
    std::vector<DWORD> pixels(count);
    CBitmap gray;
    {
        CClientDC windowDC(m_hWnd);
        if (windowDC.GetSafeHdc() == nullptr ||
            ::GetDIBits(windowDC, colour, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &layout,
                        DIB_RGB_COLORS) != bm.bmHeight) {
            return nullptr;
        }
        for (DWORD& pixel : pixels) {
            // DIB order: blue in the low byte, alpha in the high one. Black stays black.
            const BYTE blue = static_cast<BYTE>(pixel);
            const BYTE green = static_cast<BYTE>(pixel >> 8);
            const BYTE red = static_cast<BYTE>(pixel >> 16);
            if ((pixel & 0x00FFFFFF) != 0) {
                const DWORD g = Luma(RGB(red, green, blue));
                pixel = (pixel & 0xFF000000) | (g << 16) | (g << 8) | g;
            }
        }
        void* bits = nullptr;
        gray.Attach(::CreateDIBSection(windowDC, &layout, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (bits == nullptr) {
            return nullptr;
        }
        std::memcpy(bits, pixels.data(), count * sizeof(DWORD));
    }
    ICONINFO grayInfo{TRUE, 0, 0, mask, gray};
    return ::CreateIconIndirect(&grayInfo);
}

DWORD IconButton::SetBitmapHandles(HBITMAP in, HBITMAP out, COLORREF transparent) {
    FreeImages(TRUE);
    const bool outIsHandle = out != nullptr && out != in;
    if (in == nullptr) {
        if (outIsHandle) {
            ::DeleteObject(out);
        }
        Repaint(TRUE);
        return 0;
    }
    bitmaps[0].image = in;
    if (!PrepareBitmap(in, transparent, &bitmaps[0].width, &bitmaps[0].height, &bitmaps[0].mask)) {
        if (outIsHandle) {
            ::DeleteObject(out);
        }
        FreeImages(TRUE);
        return 1;
    }
    if (outIsHandle) {
        bitmaps[1].image = out;
        if (!PrepareBitmap(out, transparent, &bitmaps[1].width, &bitmaps[1].height,
                           &bitmaps[1].mask)) {
            FreeImages(TRUE);
            return 1;
        }
    }
    Repaint(TRUE);
    return 0;
}

DWORD IconButton::SetCheckState(int state, BOOL repaint) {
    if (checkboxMode) {
        checkState = state != 0 ? 1 : 0;
        Repaint(repaint);
    }
    return 0;
}

DWORD IconButton::SetDefaultColors(BOOL repaint) {
    const COLORREF back = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF fore = ::GetSysColor(COLOR_BTNTEXT);
    colors[kBackIn] = back;
    colors[kForeIn] = fore;
    colors[kBackOut] = back;
    colors[kForeOut] = fore;
    colors[kBackFocus] = back;
    colors[kForeFocus] = fore;
    Repaint(repaint);
    return 0;
}

DWORD IconButton::SetColor(BYTE index, COLORREF color, BOOL repaint) {
    if (index >= kColorCount) {
        return 1;
    }
    colors[index] = color;
    Repaint(repaint);
    return 0;
}

DWORD IconButton::SetLinkUrl(const char* url) {
    std::memset(linkUrl, 0, sizeof linkUrl);
    if (url != nullptr) {
        std::strncpy(linkUrl, url, sizeof linkUrl - 1);
    }
    return 0;
}

void IconButton::SetBtnCursor(HCURSOR newCursor) {
    if (cursor != nullptr && cursor != newCursor) {
        ::DestroyCursor(cursor);
    }
    cursor = newCursor;
}

void IconButton::SetFlat(BOOL flat, BOOL repaint) {
    flatLook = flat;
    if (!flat) {
        hovering = FALSE;
    }
    Repaint(repaint);
}

void IconButton::SetAlign(BYTE align, BOOL repaint) {
    imageAlign = align;
    Repaint(repaint);
}

void IconButton::SetDrawBorder(BOOL draw, BOOL repaint) {
    drawBorder = draw;
    Repaint(repaint);
}

void IconButton::SetFocusRectWhenFlat(BOOL draw, BOOL repaint) {
    focusRectWhenFlat = draw;
    Repaint(repaint);
}

void IconButton::SetShowDisabledBitmap(BOOL emboss, BOOL repaint) {
    showDisabledBitmap = emboss;
    Repaint(repaint);
}

void IconButton::SetTransparent(BOOL transparent, BOOL repaint) {
    transparentBack = transparent;
    if (!transparent) {
        DropBackground();
    }
    Repaint(repaint);
}

CSize IconButton::GetIconSize(int index) const {
    if (!IsImageIndex(index)) {
        return CSize();
    }
    return CSize(static_cast<int>(icons[index].width), static_cast<int>(icons[index].height));
}

void IconButton::PreSubclassWindow() {
    const DWORD type = GetStyle() & kButtonTypeMask;
    // Only the two check-box types; an owner-drawn template (0x0B) shares the bit 0x02.
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
        checkboxMode = TRUE;
    }
    if (type == BS_DEFPUSHBUTTON) {
        isDefault = TRUE;
    }
    ModifyStyle(kButtonTypeMask, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL IconButton::PreTranslateMessage(MSG* msg) {
    EnsureTooltip();
    if (tooltip.GetSafeHwnd() != nullptr) {
        tooltip.RelayEvent(msg);
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

void IconButton::DrawItem(DRAWITEMSTRUCT* item) {
    CDC dc;
    dc.Attach(item->hDC);
    const int saved = dc.SaveDC();

    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    pressed = checkboxMode ? (selected || checkState != 0) : selected;
    focused = (item->itemState & ODS_FOCUS) != 0 ? TRUE : FALSE;
    disabled = (item->itemState & ODS_DISABLED) != 0 ? TRUE : FALSE;

    const CRect itemRect(item->rcItem);
    CRect work = itemRect;
    dc.SetBkMode(TRANSPARENT);

    if (!flatLook && (focused || isDefault)) {
        CBrush black(RGB(0, 0, 0));
        dc.FrameRect(&work, black);
        work.DeflateRect(1, 1);
    }

    if (transparentBack) {
        PaintParentBackground(&dc);
    } else {
        OnDrawBackground(&dc, &work);
    }

    if (pressed) {
        if (flatLook) {
            if (drawBorder) {
                OnDrawBorder(&dc, &work);
            }
        } else {
            CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
            dc.FrameRect(&work, shadow);
        }
    } else if (flatLook) {
        if (hovering && drawBorder) {
            OnDrawBorder(&dc, &work);
        }
    } else {
        const int l = work.left;
        const int t = work.top;
        const int r = work.right;
        const int b = work.bottom;
        CPen highlight(PS_SOLID, 0, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        CPen light(PS_SOLID, 0, ::GetSysColor(COLOR_3DLIGHT));
        CPen darkShadow(PS_SOLID, 0, ::GetSysColor(COLOR_3DDKSHADOW));
        CPen shadow(PS_SOLID, 0, ::GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ previous = dc.SelectObject(&highlight);
        dc.MoveTo(l, b - 1);
        dc.LineTo(l, t);
        dc.LineTo(r, t);
        dc.SelectObject(&light);
        dc.MoveTo(l + 1, b - 1);
        dc.LineTo(l + 1, t + 1);
        dc.LineTo(r, t + 1);
        dc.SelectObject(&darkShadow);
        dc.MoveTo(l, b - 1);
        dc.LineTo(r - 1, b - 1);
        dc.LineTo(r - 1, t - 1);
        dc.SelectObject(&shadow);
        dc.MoveTo(l + 1, b - 2);
        dc.LineTo(r - 2, b - 2);
        dc.LineTo(r - 2, t);
        dc.SelectObject(previous);
    }

    CString caption;
    GetWindowText(caption);
    const BOOL hasCaption = caption.IsEmpty() ? FALSE : TRUE;
    CRect captionRect = itemRect;

    if (icons[0].handle != nullptr) {
        DrawIconImage(&dc, hasCaption, itemRect, &captionRect, pressed, disabled);
    }
    if (bitmaps[0].image != nullptr) {
        dc.SetBkColor(RGB(255, 255, 255));
        DrawBitmapImage(&dc, hasCaption, itemRect, &captionRect, pressed, disabled);
    }

    if (hasCaption) {
        if (pressed && !checkboxMode) {
            captionRect.OffsetRect(1, 1);
        }
        const CRect frame = captionRect;
        dc.DrawText(caption, -1, &captionRect, kCaptionMeasure);
        captionRect.OffsetRect((frame.Width() - captionRect.Width()) / 2,
                               (frame.Height() - captionRect.Height()) / 2);
        dc.SetBkMode(TRANSPARENT);
        if (disabled) {
            captionRect.OffsetRect(1, 1);
            dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
            dc.DrawText(caption, -1, &captionRect, kCaptionDraw);
            captionRect.OffsetRect(-1, -1);
            dc.SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
            dc.DrawText(caption, -1, &captionRect, kCaptionDraw);
        } else {
            const bool in = hovering || pressed;
            dc.SetTextColor(colors[in ? kForeIn : kForeOut]);
            dc.SetBkColor(colors[in ? kBackIn : kBackOut]);
            dc.DrawText(caption, -1, &captionRect, kCaptionDraw);
        }
    }

    if (focused && (!flatLook || focusRectWhenFlat)) {
        CRect focusRect = work;
        focusRect.DeflateRect(kFocusInset, kFocusInset);
        dc.DrawFocusRect(&focusRect);
    }
    dc.RestoreDC(saved);
}

DWORD IconButton::OnDrawBackground(CDC* dc, CRect* rect) {
    COLORREF color = colors[kBackOut];
    if (hovering || pressed) {
        color = colors[kBackIn];
    } else if (focused) {
        color = colors[kBackFocus];
    }
    CBrush brush(color);
    dc->FillRect(rect, brush);
    return 0;
}

DWORD IconButton::OnDrawBorder(CDC* dc, CRect* rect) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (pressed) {
        dc->Draw3dRect(rect, shadow, highlight);
    } else {
        dc->Draw3dRect(rect, highlight, shadow);
    }
    return 0;
}

LRESULT IconButton::OnSetCursor(WPARAM, LPARAM) {
    if (cursor != nullptr) {
        ::SetCursor(cursor);
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
    if ((flags & MK_LBUTTON) != 0 && !hovering) {
        return result;
    }
    if (!flatLook) {
        return result;
    }
    const bool active = trackWhenInactive || ::GetActiveWindow() != nullptr;
    if (under == m_hWnd && active) {
        if (!hovering) {
            hovering = TRUE;
            Invalidate(TRUE);
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = m_hWnd;
            ::_TrackMouseEvent(&track);
        }
        return result;
    }
    CancelHover();
    return result;
}

LRESULT IconButton::OnSysColorChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    DropBackground();
    return result;
}

BOOL IconButton::OnClicked() {
    SetFocus();
    if (checkboxMode) {
        checkState = checkState != 0 ? 0 : 1;
        Invalidate();
    } else if (linkUrl[0] != '\0') {
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = "open";
        info.lpFile = linkUrl;
        info.nShow = SW_SHOWMAXIMIZED;
        ::ShellExecuteExA(&info);
    }
    // The parent still gets the click.
    return FALSE;
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
    return code | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH IconButton::CtlColor(CDC*, UINT) {
    // DrawItem paints the whole face: nothing is erased first.
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT IconButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    const UINT type = static_cast<UINT>(style) & kButtonTypeMask;
    if (type == BS_DEFPUSHBUTTON) {
        isDefault = TRUE;
    } else if (type == BS_PUSHBUTTON) {
        isDefault = FALSE;
    }
    // The dialog manager's style change must not turn the button back into a standard one.
    return DefWindowProc(BM_SETSTYLE, (style & ~static_cast<WPARAM>(0x14)) | BS_OWNERDRAW, redraw);
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
    return checkState;
}

void IconButton::FreeImages(BOOL destroy) {
    if (destroy) {
        for (int i = 0; i < 2; ++i) {
            // One handle installed as both images is destroyed once.
            const bool shared = i == 1 && icons[1].handle == icons[0].handle;
            if (icons[i].handle != nullptr && !shared) {
                ::DestroyIcon(icons[i].handle);
            }
            const bool sharedBitmap = i == 1 && bitmaps[1].image == bitmaps[0].image;
            if (bitmaps[i].image != nullptr && !sharedBitmap) {
                ::DeleteObject(bitmaps[i].image);
            }
            if (bitmaps[i].mask != nullptr) {
                ::DeleteObject(bitmaps[i].mask);
            }
        }
    }
    std::memset(icons, 0, sizeof icons);
    std::memset(bitmaps, 0, sizeof bitmaps);
}

void IconButton::CancelHover() {
    if (flatLook && hovering) {
        hovering = FALSE;
        Invalidate();
    }
}

void IconButton::EnsureTooltip() {
    if (tooltip.GetSafeHwnd() != nullptr) {
        return;
    }
    if (tooltip.Create(this, 0)) {
        tooltip.Activate(FALSE);
        tooltip.SetMaxTipWidth(kMaxTipWidth);
    }
}

CRect IconButton::PlaceImage(BOOL hasCaption, const CRect& item, CRect* caption, BOOL isPressed,
                             DWORD width, DWORD height) const {
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    CRect image = item;
    const int centreX = (item.Width() - w) / 2;
    const int centreY = (item.Height() - h) / 2;
    switch (imageAlign) {
        case kAlignLeft:
            if (hasCaption) {
                image.left += kImageMargin;
                caption->left += w + kImageMargin;
            } else {
                image.left += centreX;
            }
            image.top += centreY;
            break;
        case kAlignTop:
            image.left += centreX;
            if (hasCaption) {
                image.top = kImageMargin;
                caption->top += h;
            } else {
                image.top += centreY;
            }
            break;
        case kAlignRight:
            if (hasCaption) {
                caption->right = caption->Width() - w - kImageMargin;
                caption->left = kImageMargin;
                CRect client;
                GetClientRect(&client);
                image.left = client.right - w - kImageMargin;
            } else {
                image.left += centreX;
            }
            // Centred vertically with or without a caption, like the other alignments.
            image.top += centreY;
            break;
        default:
            break;
    }
    if (isPressed && !checkboxMode) {
        image.OffsetRect(1, 1);
    }
    return image;
}

int IconButton::ChooseImage(bool outSet) const {
    const bool in = checkboxMode ? pressed != FALSE : (pressed || hovering);
    return in || !outSet ? 0 : 1;
}

void IconButton::DrawIconImage(CDC* dc, BOOL hasCaption, const CRect& item, CRect* caption,
                               BOOL isPressed, BOOL isDisabled) {
    const IconRecord& icon = icons[ChooseImage(icons[1].handle != nullptr)];
    const CRect image = PlaceImage(hasCaption, item, caption, isPressed, icon.width, icon.height);
    dc->DrawState(image.TopLeft(), image.Size(), icon.handle,
                  isDisabled ? DSS_DISABLED : DSS_NORMAL);
}

void IconButton::DrawBitmapImage(CDC* dc, BOOL hasCaption, const CRect& item, CRect* caption,
                                 BOOL isPressed, BOOL isDisabled) {
    const BitmapRecord& bitmap = bitmaps[ChooseImage(bitmaps[1].image != nullptr)];
    const CRect image =
        PlaceImage(hasCaption, item, caption, isPressed, bitmap.width, bitmap.height);
    const int w = static_cast<int>(bitmap.width);
    const int h = static_cast<int>(bitmap.height);

    CDC imageDC;
    CDC maskDC;
    if (!imageDC.CreateCompatibleDC(dc) || !maskDC.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
        imageDC.SelectObject(bitmap.image) == nullptr ||
        maskDC.SelectObject(bitmap.mask) == nullptr) {
        return;
    }
    if (isDisabled && showDisabledBitmap) {
        CBitmap combined;
        if (!combined.CreateCompatibleBitmap(dc, w, h)) {
            return;
        }
        {
            CDC combineDC;
            if (!combineDC.CreateCompatibleDC(dc) || combineDC.SelectObject(&combined) == nullptr) {
                return;
            }
            combineDC.PatBlt(0, 0, w, h, WHITENESS);
            combineDC.SetBkColor(RGB(255, 255, 255));
            combineDC.SetTextColor(RGB(0, 0, 0));
            combineDC.BitBlt(0, 0, w, h, &maskDC, 0, 0, SRCAND);
            combineDC.BitBlt(0, 0, w, h, &imageDC, 0, 0, SRCPAINT);
        }
        dc->DrawState(image.TopLeft(), CSize(w, h), static_cast<HBITMAP>(combined), DSS_DISABLED);
        return;
    }
    // The mask's black (image) bits come out in the text colour.
    dc->SetTextColor(RGB(0, 0, 0));
    dc->BitBlt(image.left, image.top, w, h, &maskDC, 0, 0, SRCAND);
    dc->BitBlt(image.left, image.top, w, h, &imageDC, 0, 0, SRCPAINT);
}

void IconButton::PaintParentBackground(CDC* dc) {
    HWND parent = GetParentHwnd();
    CRect client;
    GetClientRect(&client);
    // The client area's origin, not the window's: a framed button (the Login button has
    // a modal frame) would otherwise show the parent shifted by its frame width.
    POINT origin{0, 0};
    ::MapWindowPoints(m_hWnd, parent, &origin, 1);
    if (backDC.GetSafeHdc() == nullptr) {
        CClientDC parentDC(parent);
        if (!backDC.CreateCompatibleDC(&parentDC) ||
            !backBitmap.CreateCompatibleBitmap(&parentDC, client.Width(), client.Height())) {
            DropBackground();
            OnDrawBackground(dc, &client);
            return;
        }
        oldBackBitmap = backDC.SelectObject(&backBitmap);
        backDC.BitBlt(0, 0, client.Width(), client.Height(), &parentDC, origin.x, origin.y,
                      SRCCOPY);
    }
    dc->BitBlt(0, 0, client.Width(), client.Height(), &backDC, 0, 0, SRCCOPY);
}

void IconButton::DropBackground() {
    if (backDC.GetSafeHdc() != nullptr && oldBackBitmap != nullptr) {
        backDC.SelectObject(oldBackBitmap);
    }
    backDC.DeleteDC();
    backBitmap.DeleteObject();
    oldBackBitmap = nullptr;
}

void IconButton::Repaint(BOOL repaint) {
    if (repaint && m_hWnd != nullptr) {
        Invalidate();
    }
}

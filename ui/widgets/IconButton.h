#pragma once
// A flat owner-drawn push button with an icon (or a bitmap) beside its caption.
// It keeps its own look: no edge at rest, a raised 1-pixel border while the mouse
// is over it, a sunken one while pressed. It can also act as a two-state check
// button (taken from a check-box template style), paint the parent's background
// under itself, show a grey copy of its icon while idle, open a link on click and
// show a cursor of its own. Bind it to a template button with DDX_Control.
#include "framework/CBitmap.h"
#include "framework/CButton.h"
#include "framework/CDC.h"
#include "framework/CRect.h"
#include "framework/CToolTipCtrl.h"

class IconButton : public CButton {
public:
    // Indices of `colors`.
    enum ColorIndex : BYTE {
        kBackIn = 0,
        kForeIn = 1,
        kBackOut = 2,
        kForeOut = 3,
        kBackFocus = 4,
        kForeFocus = 5,
        kColorCount = 6,
    };
    // Values of `imageAlign`.
    enum ImageAlign : BYTE { kAlignLeft = 0, kAlignTop = 1, kAlignRight = 2 };

    // Asks SetIcons / SetIconHandles for a grey copy of the in icon as the out icon.
    static constexpr UINT kGrayOutId = static_cast<UINT>(-2);
    static inline const HICON kGrayOutIcon = reinterpret_cast<HICON>(static_cast<INT_PTR>(-2));

    IconButton();
    ~IconButton() override;

    // Loads icon resources `idIn` and `idOut` at their own size and installs them.
    // `idOut` 0: no out icon; kGrayOutId: a grey copy of the in icon. A missing in
    // resource leaves the button with its caption only (result 0).
    DWORD SetIcons(UINT idIn, UINT idOut);
    // Installs `in` (the look while hovering or pressed) and `out` (the idle look;
    // null: the in icon; kGrayOutIcon: a grey copy of `in`). The button owns both
    // handles from here on. 0 done, 1 an icon handle is invalid (no icons then).
    DWORD SetIconHandles(HICON in, HICON out);
    // A grey copy of `icon` (same mask; coloured pixels turned to their luma, black
    // kept), or null. The caller owns it.
    HICON CreateGrayIcon(HICON icon);
    // Installs bitmaps instead of icons; pixels of `transparent` colour show the
    // face. `out` may be null (the in bitmap then serves both). The button owns both
    // handles from here on; they must not be selected into a DC. 0 done, 1 a handle
    // is not a bitmap (no bitmaps then).
    DWORD SetBitmapHandles(HBITMAP in, HBITMAP out, COLORREF transparent);

    // Check-button mode only: 1 for a non-zero state, else 0.
    DWORD SetCheckState(int state, BOOL repaint = TRUE);
    int GetCheckState() const { return checkState; }

    DWORD SetDefaultColors(BOOL repaint = TRUE);
    DWORD SetColor(BYTE index, COLORREF color, BOOL repaint = TRUE);
    COLORREF GetColor(BYTE index) const { return index < kColorCount ? colors[index] : 0; }

    // Link or file opened (ShellExecuteEx "open") on every click; null clears it.
    DWORD SetLinkUrl(const char* url);
    const char* GetLinkUrl() const { return linkUrl; }

    // The button owns `cursor` (destroys it): pass a copy of a shared cursor.
    void SetBtnCursor(HCURSOR cursor);
    void SetFlat(BOOL flat, BOOL repaint = TRUE);
    void SetAlign(BYTE align, BOOL repaint = TRUE);
    void SetDrawBorder(BOOL draw, BOOL repaint = TRUE);
    void SetFocusRectWhenFlat(BOOL draw, BOOL repaint = TRUE);
    void SetTrackWhenInactive(BOOL track) { trackWhenInactive = track; }
    void SetShowDisabledBitmap(BOOL emboss, BOOL repaint = TRUE);
    void SetTransparent(BOOL transparent, BOOL repaint = TRUE);

    BOOL IsHovering() const { return hovering; }
    BOOL IsDefault() const { return isDefault; }
    BOOL IsCheckboxMode() const { return checkboxMode; }
    HICON GetIconHandle(int index) const {
        return IsImageIndex(index) ? icons[index].handle : nullptr;
    }
    CSize GetIconSize(int index) const;

    void DrawItem(DRAWITEMSTRUCT* item) override;
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Painting steps a derived class may replace; both answer 0.
    virtual DWORD OnDrawBackground(CDC* dc, CRect* rect);
    virtual DWORD OnDrawBorder(CDC* dc, CRect* rect);

protected:
    DECLARE_MESSAGE_MAP()

    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM flags, LPARAM point);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    BOOL OnClicked();
    LRESULT OnActivate(WPARAM state, LPARAM lParam);
    LRESULT OnEnable(WPARAM enabled, LPARAM lParam);
    LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    HBRUSH CtlColor(CDC* dc, UINT kind);
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM check, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);

    struct IconRecord {
        HICON handle;
        DWORD width;
        DWORD height;
    };
    struct BitmapRecord {
        HBITMAP image;
        DWORD width;
        DWORD height;
        HBITMAP mask;
    };

    void FreeImages(BOOL destroy);
    void CancelHover();
    void EnsureTooltip();
    // Where an image of `width` x `height` goes; moves `caption` out of its way.
    CRect PlaceImage(BOOL hasCaption, const CRect& item, CRect* caption, BOOL isPressed,
                     DWORD width, DWORD height) const;
    void DrawIconImage(CDC* dc, BOOL hasCaption, const CRect& item, CRect* caption, BOOL isPressed,
                       BOOL isDisabled);
    void DrawBitmapImage(CDC* dc, BOOL hasCaption, const CRect& item, CRect* caption,
                         BOOL isPressed, BOOL isDisabled);
    void PaintParentBackground(CDC* dc);
    // 0 (in) or 1 (out) for the current state; `outSet` tells whether an out image exists.
    int ChooseImage(bool outSet) const;
    void DropBackground();
    void Repaint(BOOL repaint);
    static bool IsImageIndex(int index) { return index == 0 || index == 1; }

    BOOL showDisabledBitmap;
    BOOL flatLook;
    BOOL hovering;
    BOOL transparentBack;
    BOOL pressed;
    BOOL focused;
    BOOL disabled;
    BOOL isDefault;
    BOOL checkboxMode;
    BYTE imageAlign;
    BOOL drawBorder;
    BOOL focusRectWhenFlat;
    COLORREF colors[kColorCount];
    HCURSOR cursor;  // owned
    CToolTipCtrl tooltip;
    CDC backDC;
    CBitmap backBitmap;
    HGDIOBJ oldBackBitmap;  // not owned: backDC's own bitmap while backBitmap is selected
    BOOL trackWhenInactive;
    int checkState;
    char linkUrl[260];
    IconRecord icons[2];      // owned handles
    BitmapRecord bitmaps[2];  // owned handles
};

#pragma once
// A flat owner-drawn push button with an icon (or a bitmap) beside its caption.
// It keeps its own look: no edge at rest, a raised 1-pixel border while the mouse
// is over it, a sunken one while pressed. It can also act as a two-state check
// button (taken from a check-box template style), paint the parent's background
// under itself, show a grey copy of its icon while idle, open a link on click and
// show a cursor of its own. Bind it to a template button with DDX_Control.
//
// It can also carry a drop-down menu (an IconMenu attached with AttachMenu): a
// click then opens the menu's first popup under the button, drawn pressed while it
// is open, and posts the chosen command to the menu's owner window (the button's
// parent when no owner was named).
//
// The images live in ButtonImages, their place in ButtonLayout, the stateless
// drawing steps in ButtonPainter; the button keeps its states (hover, pressed,
// focus, check) and paints with them.
#include "framework/CBitmap.h"
#include "framework/CButton.h"
#include "framework/CDC.h"
#include "framework/CRect.h"
#include "framework/CToolTipCtrl.h"
#include "ui/menu/IconMenu.h"
#include "ui/widgets/ButtonImages.h"
#include "ui/widgets/ButtonLayout.h"
#include "ui/widgets/OwnedIcon.h"

class IconButton : public CButton {
public:
    // Indices of the colours.
    enum ColorIndex : BYTE {
        kBackIn = 0,
        kForeIn = 1,
        kBackOut = 2,
        kForeOut = 3,
        kBackFocus = 4,
        kForeFocus = 5,
        kColorCount = 6,
    };
    // Values of the image alignment.
    enum ImageAlign : BYTE {
        kAlignLeft = button_layout::kAlignLeft,
        kAlignTop = button_layout::kAlignTop,
        kAlignRight = button_layout::kAlignRight,
    };

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
    int GetCheckState() const { return m_nCheckState; }

    DWORD SetDefaultColors(BOOL repaint = TRUE);
    DWORD SetColor(BYTE index, COLORREF color, BOOL repaint = TRUE);
    COLORREF GetColor(BYTE index) const { return index < kColorCount ? m_crColors[index] : 0; }

    // Link or file opened (ShellExecuteEx "open") on every click; null clears it.
    DWORD SetLinkUrl(const char* url);
    const char* GetLinkUrl() const { return m_szLinkUrl; }

    // The button owns `cursor` (destroys it): pass a copy of a shared cursor.
    void SetBtnCursor(HCURSOR cursor) { m_cursor.Reset(cursor); }
    void SetFlat(BOOL flat, BOOL repaint = TRUE);
    void SetAlign(BYTE align, BOOL repaint = TRUE);
    void SetDrawBorder(BOOL draw, BOOL repaint = TRUE);
    void SetFocusRectWhenFlat(BOOL draw, BOOL repaint = TRUE);
    void SetTrackWhenInactive(BOOL track) { m_bTrackWhenInactive = track; }
    void SetShowDisabledBitmap(BOOL emboss, BOOL repaint = TRUE);
    void SetTransparent(BOOL transparent, BOOL repaint = TRUE);

    // Loads menu template `templateId` as the drop-down menu; its chosen command goes
    // to `owner` (not owned; null: the button's parent). FALSE when the template
    // cannot be loaded.
    BOOL AttachMenu(UINT templateId, HWND owner);
    IconMenu& GetDropDownMenu() { return m_menu; }
    // The drop-down menu is open.
    BOOL IsMenuShowing() const { return m_bMenuShowing; }

    BOOL IsHovering() const { return m_bHovering; }
    BOOL IsDefault() const { return m_bIsDefault; }
    BOOL IsCheckboxMode() const { return m_bCheckboxMode; }
    HICON GetIconHandle(int index) const { return m_images.Icon(index); }
    CSize GetIconSize(int index) const { return m_images.IconSize(index); }

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
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);

    // What a click does besides telling the parent: toggles a check button, opens
    // the link of a push button.
    void ToggleCheck();
    void OpenLink();
    // Shows the drop-down menu under the button and posts the chosen command.
    void TrackDropDown();

    // Hover: starts when the pointer comes over a flat button, ends on leaving,
    // focus loss, cancel mode, deactivation and disabling.
    void StartHover();
    void CancelHover();
    void EnsureTooltip();
    // Takes pressed, focused and disabled from the owner-draw item state.
    void TakeItemState(UINT itemState);
    // The slot of the image that the current state shows.
    int ImageSlot() const;
    void PaintParentBackground(CDC* dc);
    void DropBackground();
    void Repaint(BOOL repaint);

    BOOL m_bShowDisabledBitmap;
    BOOL m_bFlat;
    BOOL m_bHovering;
    BOOL m_bTransparent;
    BOOL m_bPressed;
    BOOL m_bFocused;
    BOOL m_bDisabled;
    BOOL m_bIsDefault;
    BOOL m_bCheckboxMode;
    BYTE m_nAlign;
    BOOL m_bDrawBorder;
    BOOL m_bFocusRectWhenFlat;
    BOOL m_bTrackWhenInactive;
    int m_nCheckState;
    COLORREF m_crColors[kColorCount];
    HWND m_hMenuOwner;  // not owned: gets the drop-down's command (null: the parent)
    BOOL m_bMenuShowing;
    IconMenu m_menu;
    char m_szLinkUrl[MAX_PATH];
    OwnedCursor m_cursor;
    ButtonImages m_images;
    CToolTipCtrl m_tooltip;
    // The parent's background under the button, captured once. The DC comes after
    // the bitmap it selects, so it goes first and gives the bitmap back itself.
    CBitmap m_backBitmap;
    CDC m_backDC;
};

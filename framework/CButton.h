#pragma once
// A button control. An owner-drawn button (BS_OWNERDRAW) paints itself in
// DrawItem: the parent's WM_DRAWITEM for it is routed here.
#include "framework/CWnd.h"

class CButton : public CWnd {
public:
    // Paints an owner-drawn button; the base paints nothing.
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // BM_SETIMAGE with IMAGE_ICON; returns the previous icon (still owned by its owner).
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(
            SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(highlight)); }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) {
        SendMessage(BM_SETSTYLE, style, static_cast<LPARAM>(redraw));
    }
};

#pragma once
// The images of an icon button: an "in" image (shown while hovered or pressed) and
// an optional "out" image (shown idle), either both icons or both bitmaps with the
// masks made for their transparent colour, and how they are drawn. Owns every
// handle it holds and frees them when they are replaced or when it goes. Never
// copied.
#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CRect.h"
#include "framework/CSize.h"
#include "framework/FrameworkWin.h"
#include "ui/widgets/OwnedIcon.h"

class ButtonImages {
public:
    enum Slot { kIn = 0, kOut = 1, kSlotCount = 2 };

    ButtonImages() = default;
    ButtonImages(const ButtonImages&) = delete;
    ButtonImages& operator=(const ButtonImages&) = delete;

    // Takes `in` and `out` (null: no out image; `in` again: one image shown both
    // ways). False when a handle is not an icon: then it holds no image and both
    // handles are destroyed.
    bool SetIcons(HICON in, HICON out);
    // Takes `in` and `out` (null or `in` again: the in bitmap serves both) and masks
    // out their `transparent` pixels. False when a handle is not a bitmap: then it
    // holds no image and both handles are deleted. They must not be selected into a DC.
    bool SetBitmaps(HBITMAP in, HBITMAP out, COLORREF transparent);
    void Clear();

    bool HasIcons() const { return m_icons[kIn].handle.Get() != nullptr; }
    bool HasBitmaps() const { return m_bitmaps[kIn].image.GetSafeHandle() != nullptr; }
    // Whether a separate out image exists (a shared icon counts as one).
    bool HasOut() const;

    // Null and 0 x 0 for a slot without an icon.
    HICON Icon(int slot) const;
    CSize IconSize(int slot) const;
    HBITMAP Bitmap(int slot) const {
        return IsSlot(slot) ? m_bitmaps[slot].image.GetSafeHandle() : nullptr;
    }
    // White where the bitmap has the transparent colour, black elsewhere.
    HBITMAP Mask(int slot) const {
        return IsSlot(slot) ? m_bitmaps[slot].mask.GetSafeHandle() : nullptr;
    }
    CSize BitmapSize(int slot) const { return IsSlot(slot) ? m_bitmaps[slot].size : CSize(); }

    // Draws the image of `slot` at `at`: an icon, greyed by the system when
    // `disabled`; or a bitmap through its mask, so that its transparent pixels leave
    // what is under them, embossed by the system when `disabled` and `emboss`. The
    // DC's colours change; nothing without an image.
    void Draw(CDC* dc, int slot, const CRect& at, bool disabled, bool emboss) const;

    // A grey copy of `icon` (same mask; coloured pixels turned to their luma, black
    // kept), or null. `dc` reads the pixels. The caller owns the copy.
    static HICON MakeGrayIcon(HICON icon, HDC dc);

    static bool IsSlot(int slot) { return slot == kIn || slot == kOut; }

private:
    void DrawBitmap(CDC* dc, int slot, const CRect& at, bool embossed) const;

    struct IconImage {
        OwnedIcon handle;
        CSize size;
    };
    struct BitmapImage {
        CBitmap image;
        CBitmap mask;
        CSize size;
    };

    IconImage m_icons[kSlotCount];
    bool m_bOutIconIsIn = false;  // one handle shown both ways, held once
    BitmapImage m_bitmaps[kSlotCount];
};

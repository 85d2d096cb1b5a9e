#include "ui/widgets/ButtonImages.h"

#include <cstring>
#include <vector>

#include "framework/CDC.h"

namespace {

constexpr int kTrueColorBits = 32;
constexpr DWORD kColorBits = 0x00FFFFFF;  // of a 32-bit DIB pixel; the top byte is alpha
constexpr DWORD kAlphaBits = 0xFF000000;

// The icon's colour and mask bitmaps (copies, which GetIconInfo leaves to the
// caller to delete) into owners; false when the icon has none.
bool TakeIconBitmaps(HICON icon, CBitmap* color, CBitmap* mask) {
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) {
        return false;
    }
    color->Attach(info.hbmColor);
    mask->Attach(info.hbmMask);
    return true;
}

// The icon's own size, read from its bitmaps (a colour icon's colour bitmap; a
// monochrome icon's mask holds the AND and XOR halves one above the other).
bool MeasureIcon(HICON icon, CSize* size) {
    CBitmap color;
    CBitmap mask;
    if (!TakeIconBitmaps(icon, &color, &mask)) {
        return false;
    }
    BITMAP bm{};
    if (color.GetBitmap(&bm)) {
        *size = CSize(bm.bmWidth, bm.bmHeight);
        return true;
    }
    if (mask.GetBitmap(&bm)) {
        *size = CSize(bm.bmWidth, bm.bmHeight / 2);
        return true;
    }
    return false;
}

// Measures `image` and builds its mask: white where the image has the
// `transparent` colour, black elsewhere; those pixels of the image turn black so
// that mask-AND then image-OR leaves the background there.
bool PrepareBitmap(HBITMAP image, COLORREF transparent, CBitmap* mask, CSize* size) {
    BITMAP bm{};
    if (image == nullptr || ::GetObjectType(image) != OBJ_BITMAP ||
        ::GetObjectA(image, sizeof bm, &bm) != static_cast<int>(sizeof bm)) {
        return false;
    }
    if (!mask->CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr)) {
        return false;
    }
    CDC imageDC;
    CDC maskDC;
    if (!imageDC.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
        !maskDC.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
        imageDC.SelectObject(image) == nullptr || maskDC.SelectObject(mask) == nullptr) {
        mask->DeleteObject();
        return false;
    }
    imageDC.SetBkColor(transparent);
    maskDC.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &imageDC, 0, 0, SRCCOPY);
    imageDC.SetBkColor(RGB(0, 0, 0));
    imageDC.SetTextColor(RGB(255, 255, 255));
    imageDC.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &maskDC, 0, 0, SRCAND);
    *size = CSize(bm.bmWidth, bm.bmHeight);
    return true;
}

// ITU-R BT.601 luma of a colour, truncated toward zero.
BYTE Luma(BYTE red, BYTE green, BYTE blue) {
    return static_cast<BYTE>((299 * red + 587 * green + 114 * blue) / 1000);
}

}  // namespace

bool ButtonImages::SetIcons(HICON in, HICON out) {
    Clear();
    if (in == nullptr) {
        OwnedIcon unused(out);  // ours all the same
        return true;
    }
    m_icons[kIn].handle.Reset(in);
    m_bOutIconIsIn = out != nullptr && out == in;
    if (!m_bOutIconIsIn) {
        m_icons[kOut].handle.Reset(out);
    }
    const bool inOk = MeasureIcon(in, &m_icons[kIn].size);
    const bool outOk = out == nullptr || MeasureIcon(out, &m_icons[kOut].size);
    if (!inOk || !outOk) {
        Clear();
        return false;
    }
    return true;
}

bool ButtonImages::SetBitmaps(HBITMAP in, HBITMAP out, COLORREF transparent) {
    Clear();
    if (in == nullptr) {
        CBitmap unused;  // ours all the same
        unused.Attach(out);
        return true;
    }
    m_bitmaps[kIn].image.Attach(in);
    if (out != in) {
        m_bitmaps[kOut].image.Attach(out);
    }
    for (BitmapImage& bitmap : m_bitmaps) {
        HBITMAP image = bitmap.image;
        if (image != nullptr && !PrepareBitmap(image, transparent, &bitmap.mask, &bitmap.size)) {
            Clear();
            return false;
        }
    }
    return true;
}

void ButtonImages::Clear() {
    for (int slot = kIn; slot < kSlotCount; ++slot) {
        m_icons[slot].handle.Reset();
        m_icons[slot].size = CSize();
        m_bitmaps[slot].image.DeleteObject();
        m_bitmaps[slot].mask.DeleteObject();
        m_bitmaps[slot].size = CSize();
    }
    m_bOutIconIsIn = false;
}

bool ButtonImages::HasOut() const {
    return m_bOutIconIsIn || m_icons[kOut].handle.Get() != nullptr ||
           m_bitmaps[kOut].image.GetSafeHandle() != nullptr;
}

HICON ButtonImages::Icon(int slot) const {
    if (!IsSlot(slot)) {
        return nullptr;
    }
    return slot == kOut && m_bOutIconIsIn ? m_icons[kIn].handle.Get() : m_icons[slot].handle.Get();
}

CSize ButtonImages::IconSize(int slot) const {
    if (!IsSlot(slot)) {
        return CSize();
    }
    return slot == kOut && m_bOutIconIsIn ? m_icons[kIn].size : m_icons[slot].size;
}

void ButtonImages::Draw(CDC* dc, int slot, const CRect& at, bool disabled, bool emboss) const {
    if (HasIcons()) {
        dc->DrawState(at.TopLeft(), at.Size(), Icon(slot), disabled ? DSS_DISABLED : DSS_NORMAL);
    } else if (HasBitmaps()) {
        dc->SetBkColor(RGB(255, 255, 255));
        DrawBitmap(dc, slot, at, disabled && emboss);
    }
}

void ButtonImages::DrawBitmap(CDC* dc, int slot, const CRect& at, bool embossed) const {
    const int w = at.Width();
    const int h = at.Height();
    CDC imageDC;
    CDC maskDC;
    if (!imageDC.CreateCompatibleDC(dc) || !maskDC.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
        imageDC.SelectObject(Bitmap(slot)) == nullptr ||
        maskDC.SelectObject(Mask(slot)) == nullptr) {
        return;
    }
    if (embossed) {
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
        dc->DrawState(at.TopLeft(), CSize(w, h), static_cast<HBITMAP>(combined), DSS_DISABLED);
        return;
    }
    // The mask's black (image) bits come out in the text colour.
    dc->SetTextColor(RGB(0, 0, 0));
    dc->BitBlt(at.left, at.top, w, h, &maskDC, 0, 0, SRCAND);
    dc->BitBlt(at.left, at.top, w, h, &imageDC, 0, 0, SRCPAINT);
}

HICON ButtonImages::MakeGrayIcon(HICON icon, HDC dc) {
    CBitmap color;
    CBitmap mask;
    if (dc == nullptr || !TakeIconBitmaps(icon, &color, &mask)) {
        return nullptr;
    }
    BITMAP bm{};
    if (!color.GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
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
    layout.bmiHeader.biBitCount = kTrueColorBits;
    layout.bmiHeader.biCompression = BI_RGB;
    const size_t count = static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight);
    std::vector<DWORD> pixels(count);
    if (::GetDIBits(dc, color, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &layout,
                    DIB_RGB_COLORS) != bm.bmHeight) {
        return nullptr;
    }
    for (DWORD& pixel : pixels) {
        // DIB order: blue in the low byte, alpha in the high one. Black stays black.
        if ((pixel & kColorBits) != 0) {
            const DWORD g = Luma(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
                                 static_cast<BYTE>(pixel));
            pixel = (pixel & kAlphaBits) | (g << 16) | (g << 8) | g;
        }
    }
    void* bits = nullptr;
    CBitmap gray;
    gray.Attach(::CreateDIBSection(dc, &layout, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits == nullptr) {
        return nullptr;
    }
    std::memcpy(bits, pixels.data(), count * sizeof(DWORD));
    ICONINFO grayInfo{TRUE, 0, 0, mask, gray};
    return ::CreateIconIndirect(&grayInfo);
}

#include "ui/menu/MenuImageEffects.h"

#include "framework/CBrush.h"
#include "framework/CDC.h"

namespace {

constexpr double kFadeFactor = 0.3;
// Raster operation DSPDxax: the brush where the (monochrome) source is black, the
// destination elsewhere.
constexpr DWORD kRopBrushWhereMaskBlack = 0x00E20746;

BYTE Lighten(BYTE v, double k) {
    return static_cast<BYTE>(v + k * (255 - v));
}

}  // namespace

COLORREF MenuImageEffects::LightenColor(COLORREF color, double k) {
    if (!(k > 0.0 && k <= 1.0)) {
        return color;
    }
    return RGB(Lighten(GetRValue(color), k), Lighten(GetGValue(color), k),
               Lighten(GetBValue(color), k));
}

BOOL MenuImageEffects::RenderImageToBitmap(HDC dc, HIMAGELIST list, int index, int cx, int cy,
                                           CBitmap& bitmap) {
    HICON icon = list != nullptr ? ImageList_GetIcon(list, index, 0) : nullptr;
    if (icon == nullptr) {
        return FALSE;
    }
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    BOOL ok = bitmap.CreateCompatibleBitmap(dc, cx, cy);
    if (ok) {
        CDC memory;
        ok = memory.CreateCompatibleDC(dc) && memory.SelectObject(&bitmap) != nullptr &&
             memory.DrawIconEx(0, 0, icon, cx, cy, face, DI_NORMAL);
    }
    ::DestroyIcon(icon);
    if (!ok) {
        bitmap.DeleteObject();
    }
    return ok;
}

template <class Change>
void MenuImageEffects::RecolorFigure(HBITMAP bitmap, Change change) {
    BITMAP info{};
    if (::GetObjectA(bitmap, sizeof info, &info) != sizeof info) {
        return;
    }
    CDC dc;
    if (!dc.CreateCompatibleDC(static_cast<HDC>(nullptr))) {
        return;
    }
    // The button face as this device realises it, read back from a scratch bitmap.
    COLORREF face = CLR_INVALID;
    {
        CBitmap scratch;
        CBrush brush(::GetSysColor(COLOR_BTNFACE));
        if (scratch.CreateCompatibleBitmap(static_cast<HDC>(nullptr), info.bmWidth,
                                           info.bmHeight) &&
            dc.SelectObject(&scratch) != nullptr) {
            const RECT all{0, 0, info.bmWidth, info.bmHeight};
            dc.FillRect(&all, brush);
            face = dc.GetPixel(1, 1);
        }
        dc.RestoreSelections();
    }
    if (dc.SelectObject(bitmap) == nullptr) {
        return;
    }
    for (int x = 0; x < info.bmWidth; ++x) {
        for (int y = 0; y < info.bmHeight; ++y) {
            const COLORREF pixel = dc.GetPixel(x, y);
            if (pixel != face) {
                dc.SetPixel(x, y, change(pixel));
            }
        }
    }
}

void MenuImageEffects::MakeFadedImage(HBITMAP bitmap) {
    RecolorFigure(bitmap, [](COLORREF pixel) { return LightenColor(pixel, kFadeFactor); });
}

void MenuImageEffects::MakeShadowImage(HBITMAP bitmap) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    RecolorFigure(bitmap, [shadow](COLORREF) { return shadow; });
}

void MenuImageEffects::EmbossImage(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, int sx,
                                   int sy, COLORREF background) {
    CBitmap mask;
    CBrush highlight(::GetSysColor(COLOR_BTNHIGHLIGHT));
    CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
    CDC maskDC;
    CDC work;
    {
        CDC fresh;  // a fresh memory DC holds a monochrome bitmap
        if (!fresh.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
            !mask.CreateCompatibleBitmap(fresh.GetSafeHdc(), cx, cy)) {
            return;
        }
    }
    if (!maskDC.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
        maskDC.SelectObject(&mask) == nullptr ||
        !work.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
        work.SelectObject(bitmap) == nullptr) {
        return;
    }
    // 1. The mask: white where the image is button face or highlight, black on the figure.
    maskDC.PatBlt(0, 0, cx, cy, WHITENESS);
    work.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    maskDC.BitBlt(0, 0, cx, cy, &work, sx, sy, SRCCOPY);
    work.SetBkColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    maskDC.BitBlt(0, 0, cx, cy, &work, sx, sy, SRCPAINT);
    // 2. The work bitmap: the background, with black and white for the mask's colours.
    work.FillSolidRect(0, 0, cx, cy, background);
    work.SetBkColor(RGB(0, 0, 0));
    work.SetTextColor(RGB(255, 255, 255));
    // 3. The highlight figure, shown one pixel right and down.
    work.SelectObject(&highlight);
    work.BitBlt(0, 0, cx, cy, &maskDC, 0, 0, kRopBrushWhereMaskBlack);
    ::BitBlt(dc, x + 1, y + 1, cx, cy, work.GetSafeHdc(), 0, 0, SRCCOPY);
    // 4. The highlight offset by one, the shadow figure on top, shown in place.
    work.BitBlt(1, 1, cx, cy, &maskDC, 0, 0, kRopBrushWhereMaskBlack);
    work.SelectObject(&shadow);
    work.BitBlt(0, 0, cx, cy, &maskDC, 0, 0, kRopBrushWhereMaskBlack);
    ::BitBlt(dc, x, y, cx, cy, work.GetSafeHdc(), 0, 0, SRCCOPY);
    // 5. The DCs give their selections back before the brushes and the mask go.
    work.DeleteDC();
    maskDC.DeleteDC();
}

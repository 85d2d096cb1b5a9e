#pragma once
// A 32-bit memory bitmap to paint menu items into and read back pixel by pixel,
// first filled with a sentinel colour so that unpainted pixels show.
#include <functional>

#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CRect.h"

class ItemCanvas {
public:
    static constexpr COLORREF kSentinel = RGB(1, 2, 3);

    ItemCanvas(int width, int height);
    ItemCanvas(const ItemCanvas&) = delete;
    ItemCanvas& operator=(const ItemCanvas&) = delete;

    HDC Dc() const { return m_dc.GetSafeHdc(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Clear(COLORREF colour = kSentinel);
    COLORREF At(int x, int y) const;
    int Count(const RECT& area, const std::function<bool(COLORREF)>& test) const;
    int Count(const RECT& area, COLORREF colour) const;
    // The smallest rectangle holding every pixel of `area` that passes `test`.
    CRect Bounds(const RECT& area, const std::function<bool(COLORREF)>& test) const;
    CRect All() const { return CRect(0, 0, m_width, m_height); }

private:
    int m_width;
    int m_height;
    const RGBQUAD* m_bits = nullptr;
    CBitmap m_bitmap;
    CDC m_dc;  // declared after the bitmap it selects
};

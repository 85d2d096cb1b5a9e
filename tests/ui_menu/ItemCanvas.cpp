#include "ItemCanvas.h"

#include <algorithm>

ItemCanvas::ItemCanvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<const RGBQUAD*>(bits);
    m_dc.CreateCompatibleDC(static_cast<HDC>(nullptr));
    m_dc.SelectObject(&m_bitmap);
    Clear();
}

void ItemCanvas::Clear(COLORREF colour) {
    m_dc.FillSolidRect(0, 0, m_width, m_height, colour);
    ::GdiFlush();
}

COLORREF ItemCanvas::At(int x, int y) const {
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return CLR_INVALID;
    }
    ::GdiFlush();
    const RGBQUAD& q = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

int ItemCanvas::Count(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    int count = 0;
    for (int y = std::max(0L, area.top); y < std::min<LONG>(m_height, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<LONG>(m_width, area.right); ++x) {
            count += test(At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

int ItemCanvas::Count(const RECT& area, COLORREF colour) const {
    return Count(area, [colour](COLORREF c) { return c == colour; });
}

CRect ItemCanvas::Bounds(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    CRect found(m_width, m_height, -1, -1);
    for (int y = std::max(0L, area.top); y < std::min<LONG>(m_height, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<LONG>(m_width, area.right); ++x) {
            if (test(At(x, y))) {
                found.SetRect(std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                              std::max<LONG>(found.right, x + 1),
                              std::max<LONG>(found.bottom, y + 1));
            }
        }
    }
    return found.IsRectEmpty() ? CRect() : found;
}

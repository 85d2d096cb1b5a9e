#include "tests/support/PixelCanvas.h"

#include <algorithm>

PixelCanvas::PixelCanvas(int width, int height) {
    Make(width, height);
}

PixelCanvas::PixelCanvas(HWND window, UINT flags) {
    Print(window, flags);
}

PixelCanvas::~PixelCanvas() {
    Free();
}

void PixelCanvas::Make(int width, int height) {
    Free();
    m_nWidth = width;
    m_nHeight = height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_pBits = static_cast<const RGBQUAD*>(bits);
    m_hDC = ::CreateCompatibleDC(nullptr);
    m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
    Clear();
}

void PixelCanvas::Free() {
    if (m_hDC != nullptr) {
        ::SelectObject(m_hDC, m_hOldBitmap);
        ::DeleteDC(m_hDC);
    }
    if (m_hBitmap != nullptr) {
        ::DeleteObject(m_hBitmap);
    }
    m_hDC = nullptr;
    m_hBitmap = nullptr;
    m_pBits = nullptr;
}

void PixelCanvas::Print(HWND window, UINT flags) {
    RECT client{};
    ::GetClientRect(window, &client);
    if (m_hDC == nullptr || client.right != m_nWidth || client.bottom != m_nHeight) {
        Make(client.right, client.bottom);
    } else {
        Clear();
    }
    ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_hDC), flags);
}

void PixelCanvas::Clear(COLORREF color) {
    const RECT all{0, 0, m_nWidth, m_nHeight};
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

COLORREF PixelCanvas::At(int x, int y) const {
    if (m_pBits == nullptr || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) {
        return CLR_INVALID;
    }
    ::GdiFlush();
    return Read(x, y);
}

COLORREF PixelCanvas::Read(int x, int y) const {
    const RGBQUAD& q = m_pBits[static_cast<size_t>(y) * m_nWidth + x];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

void PixelCanvas::ForEach(const RECT& area, const std::function<void(int, int)>& visit) const {
    if (m_pBits == nullptr) {
        return;
    }
    ::GdiFlush();
    for (int y = std::max(0L, area.top); y < std::min<LONG>(m_nHeight, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<LONG>(m_nWidth, area.right); ++x) {
            visit(x, y);
        }
    }
}

int PixelCanvas::Count(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    int count = 0;
    ForEach(area, [&](int x, int y) { count += test(Read(x, y)) ? 1 : 0; });
    return count;
}

int PixelCanvas::Count(const RECT& area, COLORREF color) const {
    return Count(area, [color](COLORREF c) { return c == color; });
}

CRect PixelCanvas::Bounds(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    CRect found(m_nWidth, m_nHeight, -1, -1);
    ForEach(area, [&](int x, int y) {
        if (test(Read(x, y))) {
            found.SetRect(std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                          std::max<LONG>(found.right, x + 1), std::max<LONG>(found.bottom, y + 1));
        }
    });
    return found.IsRectEmpty() ? CRect() : found;
}

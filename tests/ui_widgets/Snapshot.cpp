#include "Snapshot.h"

#include <algorithm>

#include "framework/CBitmap.h"
#include "framework/CDC.h"

Snapshot Snapshot::Of(HWND window, COLORREF sentinel) {
    Snapshot shot;
    RECT client{};
    ::GetClientRect(window, &client);
    shot.m_width = client.right;
    shot.m_height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.m_width;
    info.bmiHeader.biHeight = -shot.m_height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CBitmap dib;
    dib.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    CDC dc;
    if (bits == nullptr || !dc.CreateCompatibleDC(static_cast<HDC>(nullptr)) ||
        dc.SelectObject(&dib) == nullptr) {
        return Snapshot{};
    }
    dc.FillSolidRect(&client, sentinel);
    ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), PRF_CLIENT);
    ::GdiFlush();
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    shot.m_pixels.reserve(static_cast<size_t>(shot.m_width) * shot.m_height);
    for (int i = 0; i < shot.m_width * shot.m_height; ++i) {
        shot.m_pixels.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
    }
    return shot;
}

COLORREF Snapshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return CLR_INVALID;
    }
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

int Snapshot::Count(const RECT& area, const std::function<bool(COLORREF)>& test) const {
    int count = 0;
    for (int y = std::max(0L, area.top); y < std::min<LONG>(m_height, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<LONG>(m_width, area.right); ++x) {
            count += test(At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

int Snapshot::Count(const RECT& area, COLORREF colour) const {
    return Count(area, [colour](COLORREF c) { return c == colour; });
}

CRect Snapshot::Bounds(const RECT& area, const std::function<bool(COLORREF)>& test) const {
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

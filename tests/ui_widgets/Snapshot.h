#pragma once
// A window's client area as the window paints it into a memory DC (WM_PRINTCLIENT),
// read back pixel by pixel.
#include <functional>
#include <vector>

#include "framework/CRect.h"
#include "framework/FrameworkWin.h"

class Snapshot {
public:
    // Fills the memory DC with `sentinel` first, so unpainted pixels show.
    static Snapshot Of(HWND window, COLORREF sentinel = RGB(1, 2, 3));

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const;
    // How many pixels of `area` satisfy `test`.
    int Count(const RECT& area, const std::function<bool(COLORREF)>& test) const;
    int Count(const RECT& area, COLORREF colour) const;
    // The smallest rectangle holding every pixel of `area` that satisfies `test`
    // (empty when none does).
    CRect Bounds(const RECT& area, const std::function<bool(COLORREF)>& test) const;
    CRect All() const { return CRect(0, 0, m_width, m_height); }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_pixels;
};

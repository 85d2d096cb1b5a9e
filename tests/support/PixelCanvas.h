#pragma once
// A 32-bit memory bitmap to paint into, or to print a window into, and read back
// pixel by pixel: it is filled with a sentinel colour first, so that pixels nobody
// painted show. Never copied.
#include <functional>

#include "framework/CRect.h"
#include "framework/FrameworkWin.h"

class PixelCanvas {
public:
    static constexpr COLORREF kSentinel = RGB(1, 2, 3);

    PixelCanvas(int width, int height);
    // The size of the window's client area, with the window printed into it.
    explicit PixelCanvas(HWND window, UINT flags = PRF_CLIENT);
    ~PixelCanvas();
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    // The window's client area as the window paints it for WM_PRINTCLIENT with
    // `flags`, over the sentinel; the canvas takes the client area's size.
    void Print(HWND window, UINT flags = PRF_CLIENT);
    void Clear(COLORREF color = kSentinel);

    HDC Dc() const { return m_hDC; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    CRect All() const { return CRect(0, 0, m_nWidth, m_nHeight); }
    // CLR_INVALID outside the canvas.
    COLORREF At(int x, int y) const;
    // How many pixels of `area` satisfy `test`.
    int Count(const RECT& area, const std::function<bool(COLORREF)>& test) const;
    int Count(const RECT& area, COLORREF color) const;
    // The smallest rectangle holding every pixel of `area` that satisfies `test`
    // (empty when none does).
    CRect Bounds(const RECT& area, const std::function<bool(COLORREF)>& test) const;

private:
    void Make(int width, int height);
    void Free();
    // The pixel at (x, y) inside the canvas, as GDI last left it.
    COLORREF Read(int x, int y) const;
    // Calls `visit(x, y)` for every pixel of `area` inside the canvas, GDI's work flushed.
    void ForEach(const RECT& area, const std::function<void(int, int)>& visit) const;

    int m_nWidth = 0;
    int m_nHeight = 0;
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;  // not owned: the memory DC's own bitmap
    const RGBQUAD* m_pBits = nullptr;
};

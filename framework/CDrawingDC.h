#pragma once
// The drawing side of a device context: the drawing calls, and the selections made
// through this object, each remembered with what it displaced and selected back
// when the DC is let go, so a DC always leaves it as it came. It never deletes,
// detaches or releases a DC itself: the derived type that got the DC gives it back
// (CDC creates one or is lent one, CBorrowedDC borrows one from a window, CPaintDC
// begins a paint). Colours, background mode and origins are not restored
// automatically: use SaveDC/RestoreDC where that matters. Never copied.
#include "framework/CGdiObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CSize.h"
#include "framework/FrameworkWin.h"

class CDrawingDC {
public:
    CDrawingDC(const CDrawingDC&) = delete;
    CDrawingDC& operator=(const CDrawingDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // Selects back everything this object's selections displaced.
    void RestoreSelections();

    // Selections return the displaced handle (null on failure).
    HGDIOBJ SelectObject(CGdiObject* object);
    HGDIOBJ SelectObject(HGDIOBJ object);
    HGDIOBJ SelectStockObject(int index) { return SelectObject(::GetStockObject(index)); }

    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    // True for a printer DC.
    BOOL IsPrinting() const;
    CPoint SetWindowOrg(int x, int y);

    // Fills with a colour without touching the selections (the background colour is
    // restored afterwards).
    void FillSolidRect(const RECT* rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(const RECT* rect, HBRUSH brush) { ::FillRect(m_hDC, rect, brush); }
    void FrameRect(const RECT* rect, HBRUSH brush) { ::FrameRect(m_hDC, rect, brush); }
    // A one-pixel frame: top and left in `topLeft`, bottom and right in `bottomRight`.
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags) {
        return ::DrawEdge(m_hDC, rect, edge, flags);
    }
    void DrawFocusRect(const RECT* rect) { ::DrawFocusRect(m_hDC, rect); }
    BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }

    int DrawText(const char* text, int count, RECT* rect, UINT format) {
        return ::DrawTextA(m_hDC, text, count, rect, format);
    }
    int DrawTextW(const wchar_t* text, int count, RECT* rect, UINT format) {
        return ::DrawTextW(m_hDC, text, count, rect, format);
    }
    CSize GetTextExtent(const char* text, int count) const;
    CSize GetTextExtentW(const wchar_t* text, int count) const;

    BOOL BitBlt(int x, int y, int cx, int cy, CDrawingDC* source, int sx, int sy, DWORD rop);
    BOOL PatBlt(int x, int y, int cx, int cy, DWORD rop) {
        return ::PatBlt(m_hDC, x, y, cx, cy, rop);
    }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }

    BOOL DrawIconEx(int x, int y, HICON icon, int cx, int cy, HBRUSH flickerFree, UINT flags) {
        return ::DrawIconEx(m_hDC, x, y, icon, cx, cy, 0, flickerFree, flags);
    }
    // DrawState for an icon or a bitmap (DST_ICON / DST_BITMAP is added to `flags`).
    BOOL DrawState(CPoint pt, CSize size, HICON icon, UINT flags, HBRUSH brush = nullptr);
    BOOL DrawState(CPoint pt, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr);

protected:
    CDrawingDC() = default;
    ~CDrawingDC() = default;

    HDC m_hDC = nullptr;  // owned or not as the derived type says

private:
    static int SlotOf(HGDIOBJ object);

    HGDIOBJ m_hDisplaced[4] = {};  // pen, brush, font, bitmap as first displaced
};

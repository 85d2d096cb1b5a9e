#pragma once
// The link status picture of the main window, in the status area: drawn at
// once when the state changes, and painted with the window (the window's
// icon when minimized). It holds GDI+ from its making to the window's end.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include "framework/CStatic.h"
#include "framework/CWnd.h"

class StatusPicture {
public:
    // The window and its status area (made or not yet); neither owned.
    StatusPicture(CWnd& window, CStatic& area);
    // Normally ended with the window (EndGdiplus); also when it was never made.
    ~StatusPicture() { EndGdiplus(); }
    StatusPicture(const StatusPicture&) = delete;
    StatusPicture& operator=(const StatusPicture&) = delete;

    void EndGdiplus();

    // The picture of `state`, into the status area now.
    void Draw(int state);
    // Into the window's paint `dc`, over the status area.
    void Paint(HDC dc, int state);
    // A minimized window's paint: `icon` in the middle.
    void PaintIcon(HDC dc, HICON icon);

private:
    CWnd& m_window;
    CStatic& m_area;
    Gdiplus::GdiplusStartupInput m_gdiplusInput;
    ULONG_PTR m_nGdiplusToken = 0;
};

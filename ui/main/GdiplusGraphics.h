#pragma once
// Owns one GDI+ graphics object drawing on a device context (flat interface).
// The device context stays its owner's.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

class GdiplusImage;

class GdiplusGraphics {
public:
    explicit GdiplusGraphics(HDC dc);
    ~GdiplusGraphics();
    GdiplusGraphics(const GdiplusGraphics&) = delete;
    GdiplusGraphics& operator=(const GdiplusGraphics&) = delete;

    explicit operator bool() const { return m_pGraphics != nullptr; }
    // At (x, y), at the image's own pixel size.
    void DrawImage(const GdiplusImage& image, int x, int y);
    // Stretched to the rectangle.
    void DrawImage(const GdiplusImage& image, int x, int y, int width, int height);

private:
    Gdiplus::GpGraphics* m_pGraphics = nullptr;
};

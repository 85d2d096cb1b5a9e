#include "ui/main/GdiplusGraphics.h"

#include "ui/main/GdiplusImage.h"

using namespace Gdiplus::DllExports;

GdiplusGraphics::GdiplusGraphics(HDC dc) {
    if (GdipCreateFromHDC(dc, &m_pGraphics) != Gdiplus::Ok) {
        m_pGraphics = nullptr;
    }
}

GdiplusGraphics::~GdiplusGraphics() {
    if (m_pGraphics != nullptr) {
        GdipDeleteGraphics(m_pGraphics);
    }
}

void GdiplusGraphics::DrawImage(const GdiplusImage& image, int x, int y) {
    if (m_pGraphics != nullptr && image) {
        GdipDrawImageI(m_pGraphics, image.Get(), x, y);
    }
}

void GdiplusGraphics::DrawImage(const GdiplusImage& image, int x, int y, int width, int height) {
    if (m_pGraphics != nullptr && image) {
        GdipDrawImageRectI(m_pGraphics, image.Get(), x, y, width, height);
    }
}

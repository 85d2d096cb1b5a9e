#include "ui/main/GdiplusGraphics.h"

#include "ui/main/GdiplusImage.h"

using namespace Gdiplus::DllExports;

GdiplusGraphics::GdiplusGraphics(HDC dc) {
    if (GdipCreateFromHDC(dc, &graphics_) != Gdiplus::Ok) {
        graphics_ = nullptr;
    }
}

GdiplusGraphics::~GdiplusGraphics() {
    if (graphics_ != nullptr) {
        GdipDeleteGraphics(graphics_);
    }
}

void GdiplusGraphics::DrawImage(const GdiplusImage& image, int x, int y) {
    if (graphics_ != nullptr && image) {
        GdipDrawImageI(graphics_, image.Get(), x, y);
    }
}

void GdiplusGraphics::DrawImage(const GdiplusImage& image, int x, int y, int width, int height) {
    if (graphics_ != nullptr && image) {
        GdipDrawImageRectI(graphics_, image.Get(), x, y, width, height);
    }
}

#include "ui/main/GdiplusImage.h"

using namespace Gdiplus::DllExports;

GdiplusImage::GdiplusImage(const wchar_t* path, bool colorManaged) {
    const Gdiplus::GpStatus status = colorManaged ? GdipLoadImageFromFileICM(path, &m_pImage)
                                                  : GdipLoadImageFromFile(path, &m_pImage);
    if (status != Gdiplus::Ok) {
        m_pImage = nullptr;
    }
}

GdiplusImage::~GdiplusImage() {
    if (m_pImage != nullptr) {
        GdipDisposeImage(m_pImage);
    }
}

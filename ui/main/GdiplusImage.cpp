#include "ui/main/GdiplusImage.h"

using namespace Gdiplus::DllExports;

GdiplusImage::GdiplusImage(const wchar_t* path, bool colourManaged) {
    const Gdiplus::GpStatus status = colourManaged ? GdipLoadImageFromFileICM(path, &image_)
                                                   : GdipLoadImageFromFile(path, &image_);
    if (status != Gdiplus::Ok) {
        image_ = nullptr;
    }
}

GdiplusImage::~GdiplusImage() {
    if (image_ != nullptr) {
        GdipDisposeImage(image_);
    }
}

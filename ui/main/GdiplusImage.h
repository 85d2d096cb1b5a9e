#pragma once
// Owns one GDI+ image loaded from a file (flat interface).
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

class GdiplusImage {
public:
    // Loads the file; with `colorManaged` the colour-managed load is used.
    // A missing or unreadable file leaves the object empty.
    GdiplusImage(const wchar_t* path, bool colorManaged);
    ~GdiplusImage();
    GdiplusImage(const GdiplusImage&) = delete;
    GdiplusImage& operator=(const GdiplusImage&) = delete;

    Gdiplus::GpImage* Get() const { return m_pImage; }
    explicit operator bool() const { return m_pImage != nullptr; }

private:
    Gdiplus::GpImage* m_pImage = nullptr;
};

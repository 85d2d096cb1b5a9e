#include "framework/CBitmap.h"

#include "framework/CDrawingDC.h"
#include "framework/CWinApp.h"

BOOL CBitmap::LoadBitmap(UINT resourceId) {
    return LoadBitmap(MAKEINTRESOURCEA(resourceId));
}

BOOL CBitmap::LoadBitmap(const char* resourceName) {
    if (m_hObject != nullptr) {
        return FALSE;
    }
    const char* type = reinterpret_cast<const char*>(RT_BITMAP);
    return Attach(::LoadBitmapA(AfxFindResourceHandle(resourceName, type), resourceName));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
    if (m_hObject != nullptr) {
        return FALSE;
    }
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDrawingDC* dc, int width, int height) {
    return CreateCompatibleBitmap(dc != nullptr ? dc->GetSafeHdc() : nullptr, width, height);
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (m_hObject != nullptr) {
        return FALSE;
    }
    if (dc != nullptr) {
        return Attach(::CreateCompatibleBitmap(dc, width, height));
    }
    HDC screen = ::GetDC(nullptr);
    const BOOL ok = Attach(::CreateCompatibleBitmap(screen, width, height));
    ::ReleaseDC(nullptr, screen);
    return ok;
}

BOOL CBitmap::GetBitmap(BITMAP* info) const {
    return GetObject(sizeof(BITMAP), info) == static_cast<int>(sizeof(BITMAP));
}

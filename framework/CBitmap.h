#pragma once
// A bitmap owned by this object.
#include "framework/CGdiObject.h"

class CDrawingDC;

class CBitmap : public CGdiObject {
public:
    // Loads a bitmap resource of the application's module.
    BOOL LoadBitmap(UINT resourceId);
    BOOL LoadBitmap(const char* resourceName);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateCompatibleBitmap(CDrawingDC* dc, int width, int height);
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
    // Fills `info`; FALSE when there is no bitmap.
    BOOL GetBitmap(BITMAP* info) const;

    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_hObject); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

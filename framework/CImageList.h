#pragma once
// An image list owned by this object (destroyed with it). Never copied.
#include "framework/FrameworkWin.h"

class CBitmap;
class CDC;

class CImageList {
public:
    CImageList() = default;
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    // ImageList_Create; FALSE when this object already holds a list or creation fails.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL DeleteImageList();

    // ImageList_AddMasked: cuts the bitmap into images of the list's width, `mask`
    // colour transparent. The bitmap stays the caller's. Returns the first index or -1.
    int Add(CBitmap* bitmap, COLORREF mask);
    int Add(HBITMAP bitmap, COLORREF mask);
    // Appends an icon (copied into the list); returns its index or -1.
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    BOOL Replace(int index, HICON icon) {
        return ImageList_ReplaceIcon(m_hImageList, index, icon) >= 0;
    }
    // A new icon of image `index` (ImageList_GetIcon); the caller destroys it.
    HICON ExtractIcon(int index, UINT flags = ILD_NORMAL) const {
        return ImageList_GetIcon(m_hImageList, index, flags);
    }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
};

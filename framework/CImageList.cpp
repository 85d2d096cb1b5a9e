#include "framework/CImageList.h"

#include "framework/CBitmap.h"
#include "framework/CDC.h"

CImageList::~CImageList() {
    DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    if (m_hImageList != nullptr) {
        return FALSE;
    }
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr ? TRUE : FALSE;
}

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) {
        return FALSE;
    }
    const BOOL ok = ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return ok;
}

int CImageList::Add(CBitmap* bitmap, COLORREF mask) {
    return Add(bitmap != nullptr ? bitmap->GetSafeHandle() : nullptr, mask);
}

int CImageList::Add(HBITMAP bitmap, COLORREF mask) {
    return ImageList_AddMasked(m_hImageList, bitmap, mask);
}

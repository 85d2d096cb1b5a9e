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

BOOL CImageList::Attach(HIMAGELIST list) {
    if (m_hImageList != nullptr || list == nullptr) {
        return FALSE;
    }
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
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

int CImageList::Add(HBITMAP bitmap, HBITMAP maskBitmap) {
    return ImageList_Add(m_hImageList, bitmap, maskBitmap);
}

BOOL CImageList::Draw(CDC* dc, int index, POINT pt, UINT style) {
    return ImageList_Draw(m_hImageList, index, dc->GetSafeHdc(), pt.x, pt.y, style);
}

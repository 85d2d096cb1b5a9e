#include "framework/CBitmapButton.h"

#include "framework/CDC.h"

BOOL CBitmapButton::LoadBitmaps(UINT up, UINT down, UINT focus, UINT disabled) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!m_bitmap.LoadBitmap(up)) {
        return FALSE;
    }
    if (down != 0) {
        m_bitmapSel.LoadBitmap(down);
    }
    if (focus != 0) {
        m_bitmapFocus.LoadBitmap(focus);
    }
    if (disabled != 0) {
        m_bitmapDisabled.LoadBitmap(disabled);
    }
    return TRUE;
}

void CBitmapButton::DrawItem(DRAWITEMSTRUCT* item) {
    // The most specific bitmap that exists for the state, else the up bitmap.
    CBitmap* picture = &m_bitmap;
    if ((item->itemState & ODS_SELECTED) && m_bitmapSel.GetSafeHandle() != nullptr) {
        picture = &m_bitmapSel;
    } else if ((item->itemState & ODS_FOCUS) && m_bitmapFocus.GetSafeHandle() != nullptr) {
        picture = &m_bitmapFocus;
    } else if ((item->itemState & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle() != nullptr) {
        picture = &m_bitmapDisabled;
    }
    if (picture->GetSafeHandle() == nullptr) {
        return;
    }
    CDC target;
    target.Attach(item->hDC);
    CDC memory;
    if (!memory.CreateCompatibleDC(&target)) {
        return;
    }
    memory.SelectObject(picture);
    const CRect rect(item->rcItem);
    target.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memory, 0, 0, SRCCOPY);
}

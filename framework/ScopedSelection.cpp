#include "framework/ScopedSelection.h"

ScopedSelection::ScopedSelection(HDC dc, HGDIOBJ object) : m_hDC(dc) {
    // A region's selection answers with a kind of region, not a handle to give back.
    if (dc == nullptr || object == nullptr || ::GetObjectType(object) == OBJ_REGION) {
        return;
    }
    HGDIOBJ displaced = ::SelectObject(dc, object);
    if (displaced != HGDI_ERROR) {
        m_hDisplaced = displaced;
    }
}

ScopedSelection::ScopedSelection(const CDrawingDC& dc, const CGdiObject& object)
    : ScopedSelection(dc.GetSafeHdc(), object.GetSafeHandle()) {}

ScopedSelection::~ScopedSelection() {
    if (m_hDisplaced != nullptr) {
        ::SelectObject(m_hDC, m_hDisplaced);
    }
}

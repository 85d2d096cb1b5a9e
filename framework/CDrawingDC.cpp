#include "framework/CDrawingDC.h"

void CDrawingDC::RestoreSelections() {
    for (HGDIOBJ& displaced : m_hDisplaced) {
        if (displaced != nullptr && m_hDC != nullptr) {
            ::SelectObject(m_hDC, displaced);
        }
        displaced = nullptr;
    }
}

int CDrawingDC::SlotOf(HGDIOBJ object) {
    switch (::GetObjectType(object)) {
        case OBJ_PEN:
        case OBJ_EXTPEN:
            return 0;
        case OBJ_BRUSH:
            return 1;
        case OBJ_FONT:
            return 2;
        case OBJ_BITMAP:
            return 3;
        default:
            return -1;
    }
}

HGDIOBJ CDrawingDC::SelectObject(CGdiObject* object) {
    return object != nullptr ? SelectObject(object->m_hObject) : nullptr;
}

HGDIOBJ CDrawingDC::SelectObject(HGDIOBJ object) {
    if (m_hDC == nullptr || object == nullptr) {
        return nullptr;
    }
    const int slot = SlotOf(object);
    HGDIOBJ displaced = ::SelectObject(m_hDC, object);
    if (slot < 0 || displaced == nullptr || displaced == HGDI_ERROR) {
        return nullptr;
    }
    // Only the first displacement is the DC's own object; later ones are ours.
    if (m_hDisplaced[slot] == nullptr) {
        m_hDisplaced[slot] = displaced;
    }
    return displaced;
}

BOOL CDrawingDC::IsPrinting() const {
    const int technology = ::GetDeviceCaps(m_hDC, TECHNOLOGY);
    return technology == DT_RASPRINTER || technology == DT_PLOTTER;
}

CPoint CDrawingDC::SetWindowOrg(int x, int y) {
    POINT old{};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}

void CDrawingDC::FillSolidRect(const RECT* rect, COLORREF color) {
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDrawingDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

void CDrawingDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft,
               bottomRight);
}

void CDrawingDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

CPoint CDrawingDC::MoveTo(int x, int y) {
    POINT old{};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CSize CDrawingDC::GetTextExtent(const char* text, int count) const {
    SIZE size{};
    ::GetTextExtentPoint32A(m_hDC, text, count, &size);
    return CSize(size);
}

CSize CDrawingDC::GetTextExtentW(const wchar_t* text, int count) const {
    SIZE size{};
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return CSize(size);
}

BOOL CDrawingDC::BitBlt(int x, int y, int cx, int cy, CDrawingDC* source, int sx, int sy,
                        DWORD rop) {
    return ::BitBlt(m_hDC, x, y, cx, cy, source != nullptr ? source->GetSafeHdc() : nullptr, sx, sy,
                    rop);
}

BOOL CDrawingDC::DrawState(CPoint pt, CSize size, HICON icon, UINT flags, HBRUSH brush) {
    return ::DrawStateA(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, pt.x, pt.y,
                        size.cx, size.cy, flags | DST_ICON);
}

BOOL CDrawingDC::DrawState(CPoint pt, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush) {
    return ::DrawStateA(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, pt.x, pt.y,
                        size.cx, size.cy, flags | DST_BITMAP);
}

#include "framework/CDC.h"

CDC::~CDC() {
    DeleteDC();
}

BOOL CDC::Attach(HDC dc) {
    if (m_hDC != nullptr || dc == nullptr) {
        return FALSE;
    }
    m_hDC = dc;
    m_bOwned = false;
    return TRUE;
}

HDC CDC::Detach() {
    RestoreSelections();
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    return CreateCompatibleDC(dc != nullptr ? dc->m_hDC : nullptr);
}

BOOL CDC::CreateCompatibleDC(HDC dc) {
    if (m_hDC != nullptr) {
        return FALSE;
    }
    m_hDC = ::CreateCompatibleDC(dc);
    m_bOwned = m_hDC != nullptr;
    return m_bOwned ? TRUE : FALSE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) {
        return FALSE;
    }
    RestoreSelections();
    BOOL ok = TRUE;
    if (m_bOwned) {
        ok = ::DeleteDC(m_hDC);
    }
    m_hDC = nullptr;
    m_bOwned = false;
    return ok;
}

void CDC::RestoreSelections() {
    for (HGDIOBJ& displaced : m_displaced) {
        if (displaced != nullptr && m_hDC != nullptr) {
            ::SelectObject(m_hDC, displaced);
        }
        displaced = nullptr;
    }
}

int CDC::SlotOf(HGDIOBJ object) {
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

HGDIOBJ CDC::SelectObject(CGdiObject* object) {
    return object != nullptr ? SelectObject(object->m_hObject) : nullptr;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    if (m_hDC == nullptr || object == nullptr) {
        return nullptr;
    }
    const int slot = SlotOf(object);
    HGDIOBJ displaced = ::SelectObject(m_hDC, object);
    if (slot < 0 || displaced == nullptr || displaced == HGDI_ERROR) {
        return nullptr;
    }
    // Only the first displacement is the DC's own object; later ones are ours.
    if (m_displaced[slot] == nullptr) {
        m_displaced[slot] = displaced;
    }
    return displaced;
}

BOOL CDC::IsPrinting() const {
    const int technology = ::GetDeviceCaps(m_hDC, TECHNOLOGY);
    return technology == DT_RASPRINTER || technology == DT_PLOTTER;
}

CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old{};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
    const COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, colour);
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft,
               bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old{};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CSize CDC::GetTextExtent(const char* text, int count) const {
    SIZE size{};
    ::GetTextExtentPoint32A(m_hDC, text, count, &size);
    return CSize(size);
}

CSize CDC::GetTextExtentW(const wchar_t* text, int count) const {
    SIZE size{};
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return CSize(size);
}

BOOL CDC::BitBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, cx, cy, source != nullptr ? source->m_hDC : nullptr, sx, sy, rop);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON icon, UINT flags, HBRUSH brush) {
    return ::DrawStateA(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, pt.x, pt.y,
                        size.cx, size.cy, flags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush) {
    return ::DrawStateA(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, pt.x, pt.y,
                        size.cx, size.cy, flags | DST_BITMAP);
}

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

BOOL CDC::CreateCompatibleDC(CDrawingDC* dc) {
    return CreateCompatibleDC(dc != nullptr ? dc->GetSafeHdc() : nullptr);
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

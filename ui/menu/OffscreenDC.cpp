#include "ui/menu/OffscreenDC.h"

OffscreenDC::OffscreenDC(CDC* target, const CRect& rect) : m_pTarget(target), m_rect(rect) {
    if (target->IsPrinting()) {
        Attach(target->GetSafeHdc());
        return;
    }
    if (!CreateCompatibleDC(target) ||
        !m_bitmap.CreateCompatibleBitmap(target, rect.Width(), rect.Height()) ||
        SelectObject(&m_bitmap) == nullptr) {
        // Without a bitmap of its own it paints straight through too.
        DeleteDC();
        Attach(target->GetSafeHdc());
        return;
    }
    SetWindowOrg(rect.left, rect.top);
    m_bOffscreen = true;
}

OffscreenDC::~OffscreenDC() {
    if (m_bOffscreen) {
        m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this,
                          m_rect.left, m_rect.top, SRCCOPY);
        DeleteDC();  // the memory DC's own bitmap goes back before ours goes
    } else {
        Detach();
    }
}

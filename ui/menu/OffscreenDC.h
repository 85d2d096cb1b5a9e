#pragma once
// A DC that collects painting over a rectangle of a target DC off the screen and
// puts it there in one copy when it goes. Callers keep using the target's
// coordinates. On a printing DC it paints straight through instead. Never copied.
#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CRect.h"

class OffscreenDC : public CDC {
public:
    // `target` is borrowed and must outlive this object.
    OffscreenDC(CDC* target, const CRect& rect);
    ~OffscreenDC() override;

    bool IsOffscreen() const { return m_bOffscreen; }

private:
    CBitmap m_bitmap;
    CDC* m_pTarget;  // not owned
    CRect m_rect;
    bool m_bOffscreen = false;
};

#include "ui/flow/PaintPacer.h"

bool PaintPacer::Due(uint32_t nowMs, bool now) {
    if (now || !m_bPainted || nowMs - m_nPaintedAt >= kIntervalMs) {
        m_bPainted = true;
        m_nPaintedAt = nowMs;
        return true;
    }
    return false;
}

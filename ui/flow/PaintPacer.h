#pragma once
// When to paint what changes while the window's thread is busy with the box:
// at most once per interval, since under Wine every paint costs round trips to
// the display, and at once when the caller must show it (the end of the work).
// Tick counts wrap around; their differences stay right.
#include <cstdint>

class PaintPacer {
public:
    // As often as the eye reads a console or a list, and a bar still moves.
    static constexpr uint32_t kIntervalMs = 200;

    // True when a paint is due at `nowMs` (always the first time, and always
    // with `now`); the paint is then counted as made.
    bool Due(uint32_t nowMs, bool now = false);

private:
    bool m_bPainted = false;
    uint32_t m_nPaintedAt = 0;  // tick count of the last paint
};

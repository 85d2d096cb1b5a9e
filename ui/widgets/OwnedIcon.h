#pragma once
// Owners of one icon or cursor handle: the handle is destroyed when its owner goes
// or takes another. Never copied.
#include "framework/FrameworkWin.h"

template <class Traits>
class OwnedIconHandle {
public:
    OwnedIconHandle() = default;
    explicit OwnedIconHandle(HICON handle) : m_hHandle(handle) {}
    ~OwnedIconHandle() { Reset(); }
    OwnedIconHandle(const OwnedIconHandle&) = delete;
    OwnedIconHandle& operator=(const OwnedIconHandle&) = delete;

    HICON Get() const { return m_hHandle; }
    // Takes `handle` (may be null), destroying the one held before unless it is the same.
    void Reset(HICON handle = nullptr) {
        if (m_hHandle != nullptr && m_hHandle != handle) {
            Traits::Destroy(m_hHandle);
        }
        m_hHandle = handle;
    }

private:
    HICON m_hHandle = nullptr;
};

struct IconDestroyer {
    static void Destroy(HICON icon) { ::DestroyIcon(icon); }
};
struct CursorDestroyer {
    static void Destroy(HCURSOR cursor) { ::DestroyCursor(cursor); }
};

using OwnedIcon = OwnedIconHandle<IconDestroyer>;
using OwnedCursor = OwnedIconHandle<CursorDestroyer>;

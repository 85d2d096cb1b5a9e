#pragma once
// A brush owned by this object.
#include "framework/CGdiObject.h"

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    // A solid brush of `colour`; holds no brush when creation fails.
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }

    // Each creation fails, creating nothing, while a brush is held.
    BOOL CreateSolidBrush(COLORREF color) {
        return m_hObject == nullptr && Attach(::CreateSolidBrush(color));
    }

    HBRUSH GetSafeHandle() const { return static_cast<HBRUSH>(m_hObject); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

#pragma once
// A pen owned by this object.
#include "framework/CGdiObject.h"

class CPen : public CGdiObject {
public:
    CPen() = default;
    // Holds no pen when creation fails.
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }

    // Fails, creating nothing, while a pen is held.
    BOOL CreatePen(int style, int width, COLORREF color) {
        return m_hObject == nullptr && Attach(::CreatePen(style, width, color));
    }

    HPEN GetSafeHandle() const { return static_cast<HPEN>(m_hObject); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

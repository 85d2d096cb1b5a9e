#pragma once
// A font owned by this object.
#include "framework/CGdiObject.h"

class CFont : public CGdiObject {
public:
    // Fails, creating nothing, while a font is held.
    BOOL CreateFontIndirect(const LOGFONTA* logFont) {
        return m_hObject == nullptr && Attach(::CreateFontIndirectA(logFont));
    }
    // The font the system uses for menus (its non-client metrics).
    BOOL CreateMenuFont();

    HFONT GetSafeHandle() const { return static_cast<HFONT>(m_hObject); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

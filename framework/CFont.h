#pragma once
// A font owned by this object.
#include "framework/CGdiObject.h"

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTA* logFont) {
        return Attach(::CreateFontIndirectA(logFont));
    }
    // The font the system uses for menus (its non-client metrics).
    BOOL CreateMenuFont();

    HFONT GetSafeHandle() const { return static_cast<HFONT>(m_hObject); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

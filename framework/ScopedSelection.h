#pragma once
// One object selected into a DC for a scope: the object it displaced goes back in
// when this goes, so a pen, brush, font or bitmap made for a few calls is never
// deleted while still selected, and the DC is left as it came. For a DC the caller
// does not hold through a CDrawingDC (whose own selections go back only when it
// lets the DC go). Never copied.
#include "framework/CDrawingDC.h"
#include "framework/CGdiObject.h"
#include "framework/FrameworkWin.h"

class ScopedSelection {
public:
    // Selects `object` (a pen, brush, font or bitmap; not owned, and it must outlive
    // this) into `dc` (not owned). Nothing is selected for a null DC or object.
    ScopedSelection(HDC dc, HGDIOBJ object);
    ScopedSelection(const CDrawingDC& dc, const CGdiObject& object);
    ~ScopedSelection();
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

    // True when the object went in.
    bool IsSelected() const { return m_hDisplaced != nullptr; }

private:
    HDC m_hDC;                       // not owned
    HGDIOBJ m_hDisplaced = nullptr;  // not owned: what the DC held before
};

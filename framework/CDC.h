#pragma once
// A device context this object either created (a memory DC, deleted with the
// object) or was lent for a call (Attach: a DC its giver keeps, as a paint message's
// DC). Either way its selections go back when it lets the DC go. A DC borrowed from
// a window is a CBorrowedDC instead, which can neither be deleted nor detached, so
// that it always goes back to its window. Never copied.
#include "framework/CDrawingDC.h"

class CDC : public CDrawingDC {
public:
    CDC() = default;
    virtual ~CDC();

    // Takes `dc` lent for a call (not owned); FALSE when this object already holds a DC.
    BOOL Attach(HDC dc);
    // Restores the selections and gives up the DC without deleting it.
    HDC Detach();
    // A memory DC compatible with `dc` (the screen for null), owned by this object.
    BOOL CreateCompatibleDC(CDrawingDC* dc);
    BOOL CreateCompatibleDC(HDC dc);
    // Restores the selections, then deletes an owned DC or forgets a lent one.
    BOOL DeleteDC();

private:
    bool m_bOwned = false;
};

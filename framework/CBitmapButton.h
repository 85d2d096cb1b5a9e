#pragma once
// A button that can paint itself from up to four bitmaps (up, down, focused,
// disabled). The bitmaps are used only when the button is owner-drawn; without
// BS_OWNERDRAW it is a plain button (for example one that shows an icon set with
// SetIcon).
#include "framework/CBitmap.h"
#include "framework/CButton.h"

class CBitmapButton : public CButton {
public:
    // Loads the bitmap resources; 0 skips one. FALSE when the up bitmap cannot load.
    BOOL LoadBitmaps(UINT up, UINT down = 0, UINT focus = 0, UINT disabled = 0);
    void DrawItem(DRAWITEMSTRUCT* item) override;

protected:
    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};

#pragma once
// The classic look of an owner-drawn menu item: the system menu colours, the
// selection in the highlight colour to the right of the image cell, raised or
// sunken image cells where the platform draws 3-D edges, an embossed image for a
// disabled item and engraved disabled text.
#include "ui/menu/MenuPaintItem.h"

class ClassicMenuPainter {
public:
    static void Paint(const MenuPaintItem& item);
    // The menu background: the button face on themed Windows XP, else the menu colour.
    static COLORREF MenuBack();
    // Vertical offset of the image cell in an item of height `height`.
    static int CellOffset(int height, int iconY);
};

#pragma once
// The flat look of an owner-drawn menu item (Windows XP with its own themes): a
// button-face column under the images, the window colour behind the text, a tint
// of the highlight colour framed by the highlight for the selection, images lifted
// above their shadow when selected and faded when not. A disabled item is never
// shown selected and reaches the screen in one off-screen copy.
#include "ui/menu/MenuPaintItem.h"

class FlatMenuPainter {
public:
    static void Paint(const MenuPaintItem& item);

    // The image column is the cell width plus this.
    static constexpr int kColumnExtra = 7;
    static int ColumnWidth(int iconX) { return iconX + kColumnExtra; }
    // Image offsets inside the item (truncated, never negative).
    static int ImageOffsetX(int iconX);
    static int ImageOffsetY(int height, int iconY);

private:
    static void PaintOn(const MenuPaintItem& item);
};

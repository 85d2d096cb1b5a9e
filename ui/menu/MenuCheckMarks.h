#pragma once
// The check and radio marks of menu items and the cells they sit in, for both looks.
#include "framework/CDC.h"
#include "framework/CRect.h"

class MenuCheckMarks {
public:
    // A tick 7 pixels wide and 7 high with its top-left corner at (x, y).
    static void DrawCheckTick(CDC* dc, int x, int y, COLORREF color);
    // A round dot filling (x, y, x + 6, y + 6).
    static void DrawRadioDot(CDC* dc, int x, int y, COLORREF color);
    // The classic cell: `menuBack` (lightened when not selected), a sunken edge where
    // the platform draws 3-D edges, then the mark.
    static void DrawClassicCheckCell(CDC* dc, const CRect& rect, bool selected, bool radio,
                                     COLORREF menuBack);
    // The flat cell: a tint of `highlight` framed by it, then the mark.
    static void DrawFlatCheckCell(CDC* dc, const CRect& rect, bool radio, COLORREF highlight);

private:
    // The menu-text coloured mark of a cell, the tick `tickInsetX` from its left.
    static void DrawCellMark(CDC* dc, const CRect& rect, bool radio, int tickInsetX);
};

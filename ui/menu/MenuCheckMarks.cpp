#include "ui/menu/MenuCheckMarks.h"

#include "framework/CBrush.h"
#include "framework/CPen.h"
#include "framework/ScopedSelection.h"
#include "ui/menu/MenuImageEffects.h"
#include "ui/menu/MenuPlatform.h"

namespace {

// Rows (below y) where the tick's 3-pixel strokes start, column by column.
constexpr int kTickStrokeStarts[] = {2, 3, 4, 3, 2, 1, 0};
constexpr int kTickStroke = 3;
constexpr int kDotSize = 6;
constexpr double kClassicCellTint = 0.6;
constexpr double kFlatCellTint = 0.85;
// Where the marks sit inside their cells.
constexpr int kRadioInsetX = 5;
constexpr int kClassicTickInsetX = 4;
constexpr int kFlatTickInsetX = 5;
constexpr int kMarkInsetY = 4;

}  // namespace

void MenuCheckMarks::DrawCheckTick(CDC* dc, int x, int y, COLORREF color) {
    CPen pen(PS_SOLID, 1, color);
    const ScopedSelection penIn(*dc, pen);
    int column = x;
    for (int start : kTickStrokeStarts) {
        dc->MoveTo(column, y + start);
        dc->LineTo(column, y + start + kTickStroke);
        ++column;
    }
}

void MenuCheckMarks::DrawRadioDot(CDC* dc, int x, int y, COLORREF color) {
    CBrush brush(color);
    CPen pen(PS_SOLID, 1, color);
    const ScopedSelection brushIn(*dc, brush);
    const ScopedSelection penIn(*dc, pen);
    dc->Ellipse(x, y, x + kDotSize, y + kDotSize);
}

// The looks place the dot alike and the tick each its own way.
void MenuCheckMarks::DrawCellMark(CDC* dc, const CRect& rect, bool radio, int tickInsetX) {
    const COLORREF mark = ::GetSysColor(COLOR_MENUTEXT);
    if (radio) {
        DrawRadioDot(dc, rect.left + kRadioInsetX, rect.top + kMarkInsetY, mark);
    } else {
        DrawCheckTick(dc, rect.left + tickInsetX, rect.top + kMarkInsetY, mark);
    }
}

void MenuCheckMarks::DrawClassicCheckCell(CDC* dc, const CRect& rect, bool selected, bool radio,
                                          COLORREF menuBack) {
    dc->FillSolidRect(
        &rect, selected ? menuBack : MenuImageEffects::LightenColor(menuBack, kClassicCellTint));
    if (MenuPlatform::HasMenuFontAndEdges()) {
        CRect edge = rect;
        dc->DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
    }
    DrawCellMark(dc, rect, radio, kClassicTickInsetX);
}

void MenuCheckMarks::DrawFlatCheckCell(CDC* dc, const CRect& rect, bool radio, COLORREF highlight) {
    dc->FillSolidRect(&rect, MenuImageEffects::LightenColor(highlight, kFlatCellTint));
    dc->Draw3dRect(&rect, highlight, highlight);
    DrawCellMark(dc, rect, radio, kFlatTickInsetX);
}

#include "ui/menu/FlatMenuPainter.h"

#include "framework/CBitmap.h"
#include "framework/CFont.h"
#include "framework/ScopedSelection.h"
#include "ui/menu/MenuCheckMarks.h"
#include "ui/menu/MenuImageEffects.h"
#include "ui/menu/MenuPlatform.h"
#include "ui/menu/MenuText.h"
#include "ui/menu/OffscreenDC.h"
#include "ui/menu/SharedMenuImages.h"

namespace {

constexpr double kSelectionTint = 0.7;
constexpr double kCheckedTint = 0.85;
constexpr int kCheckCell = 16;
constexpr int kCheckCellSpan = 15;   // the cell is centred as if it were this wide
constexpr int kSeparatorGap = 7;     // the separator line starts this far right of the column
constexpr int kTextAfterColumn = 8;  // the text starts this far right of the column

int HalfOffset(int span) {
    const int offset = static_cast<int>(span * 0.5);
    return offset > 0 ? offset : 0;
}

void DrawImage(HDC dc, int index, int x, int y) {
    ImageList_Draw(SharedMenuImages::List(), index, dc, x, y, ILD_TRANSPARENT);
}

}  // namespace

int FlatMenuPainter::ImageOffsetX(int iconX) {
    return HalfOffset(ColumnWidth(iconX) - iconX + 1);
}

int FlatMenuPainter::ImageOffsetY(int height, int iconY) {
    return HalfOffset(height - iconY + 1);
}

void FlatMenuPainter::Paint(const MenuPaintItem& item) {
    if (!item.Disabled()) {
        PaintOn(item);
        return;
    }
    MenuPaintItem shown = item;
    shown.state &= ~static_cast<UINT>(ODS_SELECTED);
    OffscreenDC offscreen(item.dc, item.rect);
    CFont font;
    MenuPlatform::CreateMenuFont(font);
    const ScopedSelection fontIn(offscreen, font);  // out again before the font goes
    shown.dc = &offscreen;
    PaintOn(shown);
}

void FlatMenuPainter::PaintOn(const MenuPaintItem& item) {
    CDC* dc = item.dc;
    const CRect& r = item.rect;
    const int w = ColumnWidth(item.iconX);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF selection = MenuImageEffects::LightenColor(highlight, kSelectionTint);
    const CRect column(r.left, r.top, r.left + w, r.bottom);
    if (item.IsSeparator()) {
        dc->FillSolidRect(&r, window);
        CRect line(r.left + w + kSeparatorGap, r.top + (r.bottom - r.top) / 2, r.right, r.bottom);
        dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        dc->FillSolidRect(&column, face);
        dc->Draw3dRect(&column, face, face);
        return;
    }
    const COLORREF oldText = dc->SetTextColor(::GetSysColor(COLOR_MENUTEXT));
    const bool selected = item.Selected();
    const bool disabled = item.Disabled();
    const bool checked = item.Checked();
    if (!selected) {
        dc->FillSolidRect(&r, window);
        dc->FillSolidRect(&column, face);
        dc->Draw3dRect(&r, window, window);
        dc->Draw3dRect(&column, face, face);
    } else {
        dc->FillSolidRect(&r, selection);
        dc->Draw3dRect(&r, highlight, highlight);
    }

    const CRect box(r.left + 1, r.top + 1, r.left + w - 1, r.bottom - 1);
    const int x = r.left + ImageOffsetX(item.iconX);
    const int y = r.top + ImageOffsetY(r.Height(), item.iconY);
    const int k = item.Image();
    const bool shaded = SharedMenuImages::HasShadeVariants(k);
    HDC hdc = dc->GetSafeHdc();
    if (item.HasImage()) {
        if (disabled) {
            CBitmap rendered;
            if (MenuImageEffects::RenderImageToBitmap(hdc, SharedMenuImages::List(), k, item.iconX,
                                                      item.iconY, rendered)) {
                MenuImageEffects::EmbossImage(hdc, x, y, item.iconX, item.iconY, rendered, 0, 0,
                                              face);
            }
        } else if (selected) {
            dc->FillSolidRect(&box, selection);
            if (checked) {
                dc->Draw3dRect(&box, highlight, highlight);
                DrawImage(hdc, k, x - 1, y - 1);
            } else if (shaded) {
                DrawImage(hdc, k + 2, x + 1, y + 1);
                DrawImage(hdc, k, x - 1, y - 1);
            } else {
                DrawImage(hdc, k, x, y);
            }
        } else if (checked) {
            dc->FillSolidRect(&box, MenuImageEffects::LightenColor(highlight, kCheckedTint));
            dc->Draw3dRect(&box, highlight, highlight);
            DrawImage(hdc, k, x - 1, y - 1);
        } else {
            dc->FillSolidRect(&box, face);
            dc->Draw3dRect(&box, face, face);
            DrawImage(hdc, shaded ? k + 1 : k, x, y);
        }
    } else if (checked) {
        const int cellX = r.left + HalfOffset(w - kCheckCellSpan);
        const int cellY = r.top + HalfOffset(r.Height() - kCheckCellSpan);
        const CRect cell(cellX, cellY, cellX + kCheckCell, cellY + kCheckCell);
        MenuCheckMarks::DrawFlatCheckCell(dc, cell, item.IsRadio(), highlight);
    }

    if (item.record->HasText()) {
        const MenuText text(item.record->GetText());
        CRect area(r.left + w + kTextAfterColumn, r.top - 1, r.right, r.bottom - 1);
        if (text.HasShortcut()) {
            area.right -= item.iconX;
        }
        const int oldMode = dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        text.Draw(dc, area);
        dc->SetBkMode(oldMode);
    }
    dc->SetTextColor(oldText);
}

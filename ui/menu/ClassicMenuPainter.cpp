#include "ui/menu/ClassicMenuPainter.h"

#include "framework/CBitmap.h"
#include "framework/CBrush.h"
#include "ui/menu/MenuCheckMarks.h"
#include "ui/menu/MenuImageEffects.h"
#include "ui/menu/MenuPlatform.h"
#include "ui/menu/MenuText.h"
#include "ui/menu/SharedMenuImages.h"

namespace {

constexpr int kCellBorder = 4;  // the image cell is the image plus 2 on each side
constexpr int kImageInset = 2;
constexpr int kSelectionGap = 5;    // the selection starts this far right of the image
constexpr int kTextAfterImage = 9;  // the text starts this far right of the image
constexpr double kCheckedCellTint = 0.6;

}  // namespace

COLORREF ClassicMenuPainter::MenuBack() {
    return ::GetSysColor(MenuPlatform::IsThemedXp() ? COLOR_BTNFACE : COLOR_MENU);
}

int ClassicMenuPainter::CellOffset(int height, int iconY) {
    const int offset = (height - iconY - kCellBorder) / 2;
    return offset > 0 ? offset : 0;
}

void ClassicMenuPainter::Paint(const MenuPaintItem& item) {
    CDC* dc = item.dc;
    const CRect& r = item.rect;
    const COLORREF back = MenuBack();
    if (item.IsSeparator()) {
        dc->FillSolidRect(&r, back);
        CRect line = r;
        line.top += (r.bottom - r.top) >> 1;
        dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const COLORREF oldText = dc->SetTextColor(::GetSysColor(COLOR_MENUTEXT));
    const bool selected = item.Selected();
    const bool disabled = item.Disabled();
    const bool checked = item.Checked();
    const bool hasImage = item.HasImage();

    if (!selected) {
        dc->FillSolidRect(&r, back);
        dc->Draw3dRect(&r, back, back);
    } else {
        CBrush highlight(::GetSysColor(COLOR_HIGHLIGHT));
        CRect fill = r;
        if (hasImage || checked) {
            fill.left = r.left + item.iconX + kSelectionGap;
        }
        dc->FillRect(&fill, highlight);
        dc->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    }

    const int f = CellOffset(r.Height(), item.iconY);
    const CRect cell(r.left, r.top + f, r.left + item.iconX + kCellBorder,
                     r.top + f + item.iconY + kCellBorder);
    const CRect inner(cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1);
    const POINT imageAt{r.left + kImageInset, r.top + f + kImageInset};
    const bool edges = MenuPlatform::HasMenuFontAndEdges();
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    HIMAGELIST list = SharedMenuImages::List();
    if (hasImage) {
        dc->Draw3dRect(&inner, back, back);
        if (disabled) {
            CBitmap rendered;
            dc->Draw3dRect(&cell, back, back);
            if (MenuImageEffects::RenderImageToBitmap(dc->GetSafeHdc(), list, item.Image(),
                                                      item.iconX, item.iconY, rendered)) {
                MenuImageEffects::EmbossImage(dc->GetSafeHdc(), imageAt.x, imageAt.y, item.iconX,
                                              item.iconY, rendered, 0, 0, back);
            }
        } else if (selected) {
            dc->FillSolidRect(&inner, back);
            if (edges) {
                dc->Draw3dRect(&cell, checked ? shadow : light, checked ? light : shadow);
            }
            ImageList_Draw(list, item.Image(), dc->GetSafeHdc(), imageAt.x, imageAt.y,
                           ILD_TRANSPARENT);
        } else if (checked) {
            dc->FillSolidRect(&inner, MenuImageEffects::LightenColor(back, kCheckedCellTint));
            if (edges) {
                dc->Draw3dRect(&cell, shadow, light);
            }
            ImageList_Draw(list, item.Image(), dc->GetSafeHdc(), imageAt.x, imageAt.y,
                           ILD_TRANSPARENT);
        } else {
            dc->FillSolidRect(&inner, back);
            dc->Draw3dRect(&cell, back, back);
            ImageList_Draw(list, item.Image(), dc->GetSafeHdc(), imageAt.x, imageAt.y,
                           ILD_TRANSPARENT);
        }
    } else if (checked) {
        const CRect markCell(r.left + 1, r.top + f + 2, r.left + item.iconX + 1,
                             r.top + f + item.iconY + 2);
        MenuCheckMarks::DrawClassicCheckCell(dc, markCell, selected, item.IsRadio(), back);
    }

    if (item.record->HasText()) {
        const MenuText text(item.record->GetText());
        CRect area(r.left + item.iconX + kTextAfterImage, r.top - 1, r.right, r.bottom - 1);
        if (text.HasShortcut()) {
            area.right -= item.iconX;
        }
        const int oldMode = dc->SetBkMode(TRANSPARENT);
        if (disabled && selected) {
            dc->SetTextColor(back);
        } else if (disabled) {
            CRect engraved = area;
            engraved.OffsetRect(1, 1);
            dc->SetTextColor(light);
            text.Draw(dc, engraved);
            dc->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        }
        text.Draw(dc, area);
        dc->SetBkMode(oldMode);
    }
    dc->SetTextColor(oldText);
}

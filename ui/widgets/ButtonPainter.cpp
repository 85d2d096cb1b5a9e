#include "ui/widgets/ButtonPainter.h"

#include "framework/CPen.h"
#include "ui/widgets/ButtonLayout.h"

namespace {

constexpr UINT kCaptionMeasure = DT_WORDBREAK | DT_CENTER | DT_CALCRECT;
constexpr UINT kCaptionDraw = DT_WORDBREAK | DT_CENTER;

}  // namespace

button_layout::Rect ToLayout(const RECT& r) {
    return button_layout::Rect{r.left, r.top, r.right, r.bottom};
}

void ButtonPainter::DrawClassicEdge(HDC target, const CRect& rect) {
    CPen highlight(PS_SOLID, 0, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    CPen light(PS_SOLID, 0, ::GetSysColor(COLOR_3DLIGHT));
    CPen darkShadow(PS_SOLID, 0, ::GetSysColor(COLOR_3DDKSHADOW));
    CPen shadow(PS_SOLID, 0, ::GetSysColor(COLOR_BTNSHADOW));
    // Declared after the pens: it gives the DC its own pen back before they go.
    CDC dc;
    dc.Attach(target);
    const int l = rect.left;
    const int t = rect.top;
    const int r = rect.right;
    const int b = rect.bottom;
    dc.SelectObject(&highlight);
    dc.MoveTo(l, b - 1);
    dc.LineTo(l, t);
    dc.LineTo(r, t);
    dc.SelectObject(&light);
    dc.MoveTo(l + 1, b - 1);
    dc.LineTo(l + 1, t + 1);
    dc.LineTo(r, t + 1);
    dc.SelectObject(&darkShadow);
    dc.MoveTo(l, b - 1);
    dc.LineTo(r - 1, b - 1);
    dc.LineTo(r - 1, t - 1);
    dc.SelectObject(&shadow);
    dc.MoveTo(l + 1, b - 2);
    dc.LineTo(r - 2, b - 2);
    dc.LineTo(r - 2, t);
}

void ButtonPainter::DrawFlatBorder(CDC* dc, const CRect& rect, bool pressed) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (pressed) {
        dc->Draw3dRect(&rect, shadow, highlight);
    } else {
        dc->Draw3dRect(&rect, highlight, shadow);
    }
}

void ButtonPainter::DrawCaption(CDC* dc, const char* caption, const CRect& frame, bool disabled,
                                COLORREF fore, COLORREF back) {
    CRect measured = frame;
    dc->DrawText(caption, -1, &measured, kCaptionMeasure);
    const button_layout::Rect centred =
        button_layout::CentreText(ToLayout(frame), ToLayout(measured));
    CRect text(centred.left, centred.top, centred.right, centred.bottom);
    dc->SetBkMode(TRANSPARENT);
    if (disabled) {
        text.OffsetRect(1, 1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc->DrawText(caption, -1, &text, kCaptionDraw);
        text.OffsetRect(-1, -1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        dc->DrawText(caption, -1, &text, kCaptionDraw);
    } else {
        dc->SetTextColor(fore);
        dc->SetBkColor(back);
        dc->DrawText(caption, -1, &text, kCaptionDraw);
    }
}

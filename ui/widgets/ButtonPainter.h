#pragma once
// The drawing steps of an icon button's face that need none of its state: the
// classic 3-D edge of a button that is not flat, the 1-pixel border of a flat one
// and the caption. The button decides which steps its state asks for.
#include "framework/CDC.h"
#include "framework/CRect.h"
#include "ui/widgets/ButtonLayout.h"

class ButtonPainter {
public:
    // Highlight and light on the top and left, dark shadow and shadow on the bottom
    // and right, two pixels wide. The DC gets its own pen back.
    static void DrawClassicEdge(HDC dc, const CRect& rect);
    // Raised (highlight top-left, shadow bottom-right), or sunken when `pressed`.
    static void DrawFlatBorder(CDC* dc, const CRect& rect, bool pressed);
    // The caption word-wrapped and centred in `frame`: engraved in the highlight and
    // shadow colours when `disabled`, else in `fore` on `back`.
    static void DrawCaption(CDC* dc, const char* caption, const CRect& frame, bool disabled,
                            COLORREF fore, COLORREF back);
};

// A window rectangle as the portable layout's.
button_layout::Rect ToLayout(const RECT& r);

#pragma once
// Image work for the icon menu: an image of the shared list rendered on the button
// face, the faded and shadow variants made from such a rendering, the embossed
// image of a disabled item and the colour-lightening rule. Every DC, bitmap, brush
// and icon made here is gone when a call returns, except the bitmap handed to the
// caller.
#include "framework/CBitmap.h"
#include "framework/FrameworkWin.h"

class MenuImageEffects {
public:
    // Each channel v becomes v + k (255 - v), truncated, for 0 < k <= 1; any other k
    // leaves the colour as it is.
    static COLORREF LightenColor(COLORREF color, double k);

    // Image `index` of `list` drawn on the button-face colour into a new bitmap of
    // `cx` by `cy` compatible with `dc`, handed to `bitmap` (which must be empty).
    // FALSE, with `bitmap` empty, when the list has no such image.
    static BOOL RenderImageToBitmap(HDC dc, HIMAGELIST list, int index, int cx, int cy,
                                    CBitmap& bitmap);
    // Every pixel that is not the realised button-face colour becomes its lightened
    // colour (0.3), or the button shadow colour.
    static void MakeFadedImage(HBITMAP bitmap);
    static void MakeShadowImage(HBITMAP bitmap);
    // Draws the figure of `bitmap` (what is neither button face nor button highlight)
    // embossed at (x, y): shadow colour, with a highlight copy one pixel right and down,
    // on `background`. `bitmap` is used as the work bitmap and changed; it must not be
    // selected into a DC.
    static void EmbossImage(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, int sx, int sy,
                            COLORREF background);

private:
    // Replaces every pixel that differs from the realised button face by `change(pixel)`.
    template <class Change>
    static void RecolorFigure(HBITMAP bitmap, Change change);
};

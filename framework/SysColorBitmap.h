#pragma once
// Loading of tool bar and menu bitmaps drawn in the classic 16 colours, with the
// colours that stand for parts of a button replaced by the user's system colours:
// black by the button text colour, dark grey by the button shadow, light grey by
// the button face and white by the button highlight. A picture drawn on light grey
// then sits on the real button face.
#include "framework/FrameworkWin.h"

// Reads the colour-table size of bitmap resource `resource` of `instance`: the
// header's used-colour count, or 1 << bits per pixel for 8 bits and fewer when that
// count is 0; 0 for a true-colour bitmap. -1 when the resource is no readable
// bitmap.
int AfxBitmapResourceColorCount(HINSTANCE instance, HRSRC resource);

// A bitmap compatible with the screen made from bitmap resource `resource` of
// `instance` with the colour table mapped as above; null when the resource is
// missing, malformed (every size is checked against the resource's own) or has no
// colour table. The caller owns the bitmap.
HBITMAP AfxLoadSysColorBitmap(HINSTANCE instance, HRSRC resource);

#pragma once
// A minimal tool bar: a common-controls tool bar window whose buttons come from a
// tool bar resource (type RT_TOOLBAR, 241: 16-bit words version 1, image width,
// image height, item count, then one command id per item, 0 for a separator) and
// whose images come from the bitmap resource of the same id, one strip of images
// of that width, in the order of the non-separator items. The object owns its
// window and the bitmap. Never copied.
#include "framework/CBitmap.h"
#include "framework/CWnd.h"

#define RT_TOOLBAR MAKEINTRESOURCEA(241)
// Bar styles (the low word of the Create style; they are not window styles).
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
// The id of a frame's standard tool bar.
#define AFX_IDW_TOOLBAR 0xE800

class CToolBar : public CWnd {
public:
    CToolBar() = default;
    ~CToolBar() override;

    // Creates the tool bar window as a child of `parent` (a window handle, so that the
    // desktop window may serve). The high word of `style` holds window styles, the
    // low word bar styles (CBRS_...); the bar sits at the top whatever they say.
    BOOL Create(HWND parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT id = AFX_IDW_TOOLBAR);
    // Adds the buttons of tool bar resource `resourceId` and its bitmap. FALSE when
    // the resource is missing or malformed (the tool bar then has no buttons).
    BOOL LoadToolBar(UINT resourceId);

    // The index of the button of command `id`, or -1.
    int CommandToIndex(UINT id) const;
    // Command, button style and image number of button `index`; all 0 for a bad index.
    void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;

private:
    CBitmap m_bitmap;  // the button images; the control does not delete them
};

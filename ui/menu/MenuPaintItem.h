#pragma once
// One owner-drawn menu item as the painters see it: where to paint, what the item
// is and which state Windows asks for.
#include "framework/CDC.h"
#include "framework/CRect.h"
#include "ui/menu/IconMenuItem.h"

struct MenuPaintItem {
    CDC* dc;  // not owned
    CRect rect;
    const IconMenuItem* record;  // not owned
    UINT state;                  // ODS_ flags
    UINT itemId;
    HMENU menu;  // not owned
    int iconX;
    int iconY;

    bool Selected() const { return (state & ODS_SELECTED) != 0; }
    bool Disabled() const { return (state & ODS_GRAYED) != 0; }
    bool Checked() const { return (state & ODS_CHECKED) != 0; }
    bool IsSeparator() const { return (record->m_nFlags & MF_SEPARATOR) != 0; }
    int Image() const { return record->m_nSharedImage; }
    bool HasImage() const { return record->m_nSharedImage >= 0; }
    // The item has a checked-state bitmap: its check shows as a round dot.
    bool IsRadio() const {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_CHECKMARKS;
        return ::GetMenuItemInfoA(menu, itemId, FALSE, &info) && info.hbmpChecked != nullptr;
    }
};

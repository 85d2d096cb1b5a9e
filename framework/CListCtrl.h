#pragma once
// A list view control (ANSI messages).
#include "framework/CWnd.h"

class CListCtrl : public CWnd {
public:
    // Returns the new column's index, or -1.
    int InsertColumn(int column, const char* heading, int format, int width);
    // Returns the new item's index, or -1.
    int InsertItem(int item, const char* text);
    BOOL SetItemText(int item, int subItem, const char* text);
    // Sets the `mask` bits of the item's state (LVIS_SELECTED, LVIS_FOCUSED, ...).
    BOOL SetItemState(int item, UINT state, UINT mask);
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    BOOL EnsureVisible(int item) {
        return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE));
    }
    BOOL DeleteItem(int item) {
        return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)));
    }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    // Returns the previous extended styles.
    DWORD SetExtendedStyle(DWORD styles) {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, styles));
    }
};

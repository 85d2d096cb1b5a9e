#pragma once
// A tree view control (ANSI messages).
#include "framework/CString.h"
#include "framework/CWnd.h"

class CImageList;

class CTreeCtrl : public CWnd {
public:
    // `data`: the item's own value, for GetItemData.
    HTREEITEM InsertItem(const char* text, int image, int selectedImage,
                         HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST, LPARAM data = 0);
    BOOL DeleteItem(HTREEITEM item) {
        return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    BOOL Expand(HTREEITEM item, UINT code) {
        return static_cast<BOOL>(SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)));
    }
    // The item's text (up to 1023 characters).
    CString GetItemText(HTREEITEM item) const;
    LPARAM GetItemData(HTREEITEM item) const;
    // Gives the image list to the tree (TVSIL_NORMAL or TVSIL_STATE); the list stays
    // owned by its CImageList. Returns the previous list's handle.
    HIMAGELIST SetImageList(CImageList* list, int which);
};

#pragma once
// The main window's two file trees: the box's files by group, and those of them
// that are in the working directory. They show what ui/flow/FileTreeModel works
// out from the catalogue, share one image list, and tell the text of their items.
#include <memory>
#include <optional>
#include <string>

#include <windows.h>

#include <commctrl.h>

#include "framework/CImageList.h"
#include "framework/CString.h"
#include "framework/CTreeCtrl.h"
#include "ui/flow/FileTreeModel.h"

class FileCatalog;

class FileTrees {
public:
    enum class Tree { kBox, kLocal };

    // Both trees are the dialog's, bound by it; not owned.
    FileTrees(CTreeCtrl& treeBox, CTreeCtrl& treeLocal);
    FileTrees(const FileTrees&) = delete;
    FileTrees& operator=(const FileTrees&) = delete;

    // Once the trees are bound: their image list.
    void Init();

    void ShowBox(const FileCatalog& catalog);
    // The group of the file named `expandName` (when given) is expanded.
    void ShowLocal(const FileCatalog& catalog, const char* expandName = nullptr);
    // Shows the local files again only when other files are there now: a
    // rebuilt tree would lose what the user expanded and selected.
    void RefreshLocal(const FileCatalog& catalog);
    void Clear();

    // The selected item's text as a transfer names the file; none without a selection.
    std::optional<std::string> SelectedName(Tree tree) const;
    // Item texts as the arrow rules take them, null when there is no such item;
    // the text is held in `text`. The selected item, and the new one of a
    // selection change (`header` of TVN_SELCHANGED).
    const char* SelectedText(Tree tree, CString& text) const;
    const char* NewItemText(Tree tree, const NMHDR* header, CString& text) const;

private:
    CTreeCtrl& TreeOf(Tree tree) const;
    void Show(CTreeCtrl& tree, const FileTreeModel& model);

    CTreeCtrl& m_treeBox;    // not owned
    CTreeCtrl& m_treeLocal;  // not owned
    std::unique_ptr<CImageList> m_pImageList;
    FileTreeModel m_localShown;  // what the local tree shows
};

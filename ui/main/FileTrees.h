#pragma once
// The main window's two file trees: the box's files by group, and those of them
// that are in the working directory. They show what ui/flow/FileTreeModel works
// out from the catalogue, share one image list, and tell the names of their items.
// An item shows its name escaped as velqo-cli shows names (control characters,
// C1 and bidirectional controls visibly), so that a name cannot pose as
// another; the name itself is the item's data, the one a transfer uses.
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

    // The selected item's name as a transfer names the file; none without a selection.
    std::optional<std::string> SelectedName(Tree tree) const;
    // Item names as the arrow rules take them, null when there is no such item;
    // the name is held in `text`. The selected item, and the new one of a
    // selection change (`header` of TVN_SELCHANGED).
    const char* SelectedText(Tree tree, CString& text) const;
    const char* NewItemText(Tree tree, const NMHDR* header, CString& text) const;

private:
    CTreeCtrl& TreeOf(Tree tree) const;
    FileTreeModel& ModelOf(CTreeCtrl& tree);
    void Show(CTreeCtrl& tree, const FileTreeModel& model);

    CTreeCtrl& m_treeBox;    // not owned
    CTreeCtrl& m_treeLocal;  // not owned
    std::unique_ptr<CImageList> m_pImageList;
    // What each tree shows; its items' data point at the names held here.
    FileTreeModel m_boxShown;
    FileTreeModel m_localShown;
};

#include "ui/main/FileTrees.h"

#include <iterator>

#include "framework/CBitmap.h"
#include "resources/resource.h"

namespace {

constexpr int kTreeImageSize = 20;
constexpr COLORREF kTreeImageMask = RGB(255, 255, 255);
// A transfer reads a tree item's text into a name of this size.
constexpr size_t kItemNameSize = 128;

// The text of an item, or null when there is none (held in `text`).
const char* TextOrNull(const CTreeCtrl& tree, HTREEITEM item, CString& text) {
    if (item == nullptr) {
        return nullptr;
    }
    text = tree.GetItemText(item);
    return text;
}

}  // namespace

FileTrees::FileTrees(CTreeCtrl& treeBox, CTreeCtrl& treeLocal)
    : m_treeBox(treeBox), m_treeLocal(treeLocal) {}

void FileTrees::Init() {
    m_pImageList = std::make_unique<CImageList>();
    constexpr UINT kImages[] = {IDB_TREE_GROUP, IDB_TREE_TEXT, IDB_TREE_BINARY};
    m_pImageList->Create(kTreeImageSize, kTreeImageSize, ILC_MASK, std::size(kImages), 0);
    for (const UINT id : kImages) {
        CBitmap bitmap;
        bitmap.LoadBitmap(id);
        m_pImageList->Add(&bitmap, kTreeImageMask);
    }
    m_treeLocal.SetImageList(m_pImageList.get(), TVSIL_NORMAL);
    m_treeBox.SetImageList(m_pImageList.get(), TVSIL_NORMAL);
}

void FileTrees::ShowBox(const FileCatalog& catalog) {
    Show(m_treeBox, BuildBoxTree(catalog));
}

void FileTrees::ShowLocal(const FileCatalog& catalog, const char* expandName) {
    Show(m_treeLocal, BuildLocalTree(catalog, expandName));
}

void FileTrees::RefreshLocal(const FileCatalog& catalog) {
    FileTreeModel now = BuildLocalTree(catalog);
    if (!SameFiles(now, m_localShown)) {
        Show(m_treeLocal, now);
    }
}

void FileTrees::Clear() {
    m_treeLocal.DeleteAllItems();
    m_localShown.clear();
    m_treeBox.DeleteAllItems();
}

void FileTrees::Show(CTreeCtrl& tree, const FileTreeModel& model) {
    if (&tree == &m_treeLocal) {
        m_localShown = model;
    }
    tree.DeleteAllItems();
    for (const TreeGroupItem& group : model) {
        const HTREEITEM groupItem =
            tree.InsertItem(group.name.c_str(), tree_image::kGroup, tree_image::kGroup);
        for (const TreeFileItem& file : group.files) {
            tree.InsertItem(file.name.c_str(), file.image, file.image, groupItem);
        }
        if (group.expanded) {
            tree.Expand(groupItem, TVE_EXPAND);
        }
    }
}

std::optional<std::string> FileTrees::SelectedName(Tree tree) const {
    const CTreeCtrl& control = TreeOf(tree);
    const HTREEITEM item = control.GetSelectedItem();
    if (item == nullptr) {
        return std::nullopt;
    }
    return std::string(control.GetItemText(item).GetString()).substr(0, kItemNameSize - 1);
}

const char* FileTrees::SelectedText(Tree tree, CString& text) const {
    const CTreeCtrl& control = TreeOf(tree);
    return TextOrNull(control, control.GetSelectedItem(), text);
}

const char* FileTrees::NewItemText(Tree tree, const NMHDR* header, CString& text) const {
    const HTREEITEM item = reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.hItem;
    return TextOrNull(TreeOf(tree), item, text);
}

CTreeCtrl& FileTrees::TreeOf(Tree tree) const {
    return tree == Tree::kBox ? m_treeBox : m_treeLocal;
}

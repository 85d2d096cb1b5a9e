#include "ui/main/FileTrees.h"

#include <iterator>

#include "base/TextEscape.h"
#include "framework/CBitmap.h"
#include "resources/resource.h"

namespace {

constexpr int kTreeImageSize = 20;
constexpr COLORREF kTreeImageMask = RGB(255, 255, 255);
// A transfer reads a tree item's text into a name of this size.
constexpr size_t kItemNameSize = 128;

// The data of an item that names it.
LPARAM DataOf(const std::string& name) {
    return reinterpret_cast<LPARAM>(&name);
}

// The name of an item from its data, or null when there is none (held in `text`).
const char* NameOrNull(LPARAM data, CString& text) {
    if (data == 0) {
        return nullptr;
    }
    text = reinterpret_cast<const std::string*>(data)->c_str();
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
    m_boxShown.clear();
}

FileTreeModel& FileTrees::ModelOf(CTreeCtrl& tree) {
    return &tree == &m_treeLocal ? m_localShown : m_boxShown;
}

void FileTrees::Show(CTreeCtrl& tree, const FileTreeModel& model) {
    // The items go before the names they point at.
    tree.DeleteAllItems();
    FileTreeModel& shown = ModelOf(tree);
    shown = model;
    for (const TreeGroupItem& group : shown) {
        const HTREEITEM groupItem =
            tree.InsertItem(EscapeControls(group.name).c_str(), tree_image::kGroup,
                            tree_image::kGroup, TVI_ROOT, TVI_LAST, DataOf(group.name));
        for (const TreeFileItem& file : group.files) {
            tree.InsertItem(EscapeControls(file.name).c_str(), file.image, file.image, groupItem,
                            TVI_LAST, DataOf(file.name));
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
    CString text;
    const char* name = NameOrNull(control.GetItemData(item), text);
    if (name == nullptr) {
        return std::nullopt;
    }
    return std::string(name).substr(0, kItemNameSize - 1);
}

const char* FileTrees::SelectedText(Tree tree, CString& text) const {
    const CTreeCtrl& control = TreeOf(tree);
    const HTREEITEM item = control.GetSelectedItem();
    return item == nullptr ? nullptr : NameOrNull(control.GetItemData(item), text);
}

const char* FileTrees::NewItemText(Tree tree, const NMHDR* header, CString& text) const {
    const NMTREEVIEWA* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    return change->itemNew.hItem == nullptr ? nullptr : NameOrNull(change->itemNew.lParam, text);
}

CTreeCtrl& FileTrees::TreeOf(Tree tree) const {
    return tree == Tree::kBox ? m_treeBox : m_treeLocal;
}

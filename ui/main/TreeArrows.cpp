#include "ui/main/TreeArrows.h"

void TreeArrows::Click(FileTrees::Tree tree) {
    CString text;
    const char* item = m_trees.SelectedText(tree, text);
    Apply(tree == FileTrees::Tree::kBox ? m_rules.BoxTreeClick(item)
                                        : m_rules.LocalTreeClick(item));
}

const char* TreeArrows::SelChanged(FileTrees::Tree tree, const NMHDR* header, CString& text) {
    const char* item = m_trees.NewItemText(tree, header, text);
    Apply(tree == FileTrees::Tree::kBox ? m_rules.BoxTreeSelChanged(item)
                                        : m_rules.LocalTreeSelChanged(item));
    return item;
}

void TreeArrows::KillFocus(FileTrees::Tree tree, HWND focus) {
    Apply(tree == FileTrees::Tree::kBox
              ? m_rules.BoxTreeKillFocus(focus == m_download.GetSafeHwnd())
              : m_rules.LocalTreeKillFocus(focus == m_upload.GetSafeHwnd()));
}

void TreeArrows::Apply(const ArrowChanges& changes) {
    const auto apply = [](CButton& button, ButtonChange change) {
        if (change != ButtonChange::kUnchanged) {
            button.EnableWindow(change == ButtonChange::kEnable);
        }
    };
    apply(m_upload, changes.upload);
    apply(m_download, changes.download);
}

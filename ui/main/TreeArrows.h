#pragma once
// The transfer arrows as the two trees' clicks, selections and focus move
// them: ArrowRules decides from the item's text, this enables or disables
// the buttons.
#include "framework/CButton.h"
#include "ui/flow/ArrowRules.h"
#include "ui/main/FileTrees.h"

class TreeArrows {
public:
    // None owned.
    TreeArrows(const ArrowRules& rules, const FileTrees& trees, CButton& upload, CButton& download)
        : m_rules(rules), m_trees(trees), m_upload(upload), m_download(download) {}

    void Click(FileTrees::Tree tree);
    // The newly selected item's text (null: none), valid while `text` lives.
    const char* SelChanged(FileTrees::Tree tree, const NMHDR* header, CString& text);
    // The tree lost the focus, to `focus`.
    void KillFocus(FileTrees::Tree tree, HWND focus);

private:
    void Apply(const ArrowChanges& changes);

    const ArrowRules& m_rules;
    const FileTrees& m_trees;
    CButton& m_upload;
    CButton& m_download;
};

#pragma once
// What each event of the two trees does to the download and upload arrows.
// An arrow is usable right after an event in its own tree, and only while the
// focus goes from that tree straight to the arrow: pressing it moves the focus
// onto it, which keeps it enabled; the focus going anywhere else disables it.
class FileCatalog;

enum class ButtonChange { kUnchanged, kEnable, kDisable };

struct ArrowChanges {
    ButtonChange download = ButtonChange::kUnchanged;
    ButtonChange upload = ButtonChange::kUnchanged;

    bool operator==(const ArrowChanges&) const = default;
};

class ArrowRules {
public:
    explicit ArrowRules(const FileCatalog& catalog) : m_catalog(catalog) {}

    // Item texts are null when the tree has no such item. The click handlers
    // judge the tree's selected item, the selection changes the new one.
    ArrowChanges BoxTreeClick(const char* selected) const;
    ArrowChanges BoxTreeSelChanged(const char* newItem) const;
    ArrowChanges BoxTreeKillFocus(bool focusOnDownload) const;
    ArrowChanges LocalTreeClick(const char* selected) const;
    ArrowChanges LocalTreeSelChanged(const char* newItem) const;
    ArrowChanges LocalTreeKillFocus(bool focusOnUpload) const;

private:
    // A text that the catalogue knows as a file name; its type when it does.
    bool IsCatalogued(const char* text) const;
    int TypeOf(const char* text) const;

    const FileCatalog& m_catalog;
};

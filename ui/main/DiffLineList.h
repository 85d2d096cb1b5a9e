#pragma once
// The diff window's read-only list of a unified diff's lines, drawn by its
// owner so that each kind of line has its colour: added lines green, removed
// lines red, hunk headers blue. Bound to an owner-drawn list box with
// LBS_HASSTRINGS; each item keeps its line's kind as its item data.
#include <vector>

#include "framework/CWnd.h"
#include "ui/flow/DiffViewRules.h"

class DiffLineList : public CWnd {
public:
    // Replaces the items by `lines`.
    void Show(const std::vector<DiffLine>& lines);
    // The parent's WM_DRAWITEM for the list box, routed here.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item) const;
};

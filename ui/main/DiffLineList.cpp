#include "ui/main/DiffLineList.h"

#include <string>

namespace {

struct LineColors {
    COLORREF text;
    COLORREF back;
};

LineColors ColorsOf(DiffLineKind kind) {
    switch (kind) {
        case DiffLineKind::kAdded:
            return {RGB(0, 110, 0), RGB(225, 250, 225)};
        case DiffLineKind::kRemoved:
            return {RGB(170, 0, 0), RGB(255, 228, 228)};
        case DiffLineKind::kHunk:
            return {RGB(0, 0, 160), RGB(232, 236, 255)};
        case DiffLineKind::kHeader:
        case DiffLineKind::kNote:
            return {RGB(96, 96, 96), RGB(255, 255, 255)};
        case DiffLineKind::kContext:
            break;
    }
    return {RGB(0, 0, 0), RGB(255, 255, 255)};
}

}  // namespace

void DiffLineList::Show(const std::vector<DiffLine>& lines) {
    SendMessage(WM_SETREDRAW, FALSE);
    SendMessage(LB_RESETCONTENT);
    for (const DiffLine& line : lines) {
        const LRESULT item =
            SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.text.c_str()));
        if (item >= 0) {
            SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(line.kind));
        }
    }
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL DiffLineList::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (CWnd::OnChildNotify(message, wParam, lParam, result)) {
        return TRUE;
    }
    if (message != WM_DRAWITEM) {
        return FALSE;
    }
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    *result = TRUE;
    return TRUE;
}

void DiffLineList::DrawItem(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) {
        return;  // an empty list's focus: nothing to draw
    }
    const auto kind = static_cast<DiffLineKind>(item.itemData);
    const LineColors colors = ColorsOf(kind);
    const LRESULT length = SendMessage(LB_GETTEXTLEN, item.itemID);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        SendMessage(LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    }
    RECT cell = item.rcItem;
    const COLORREF oldText = ::SetTextColor(item.hDC, colors.text);
    const COLORREF oldBack = ::SetBkColor(item.hDC, colors.back);
    // ETO_OPAQUE fills the row in the background colour along with the text.
    ::ExtTextOutA(item.hDC, cell.left + 2, cell.top, ETO_OPAQUE | ETO_CLIPPED, &cell, text.data(),
                  static_cast<UINT>(text.size()), nullptr);
    ::SetTextColor(item.hDC, oldText);
    ::SetBkColor(item.hDC, oldBack);
}

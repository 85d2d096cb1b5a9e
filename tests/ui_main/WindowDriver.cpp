#include "tests/ui_main/WindowDriver.h"

#include "tests/support/UserInput.h"

namespace {

void ClickAt(POINT screen) {
    // Absolute coordinates with every event, so the press lands where meant.
    const LONG x = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    const LONG y = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT input[3] = {};
    for (INPUT& in : input) {
        in.type = INPUT_MOUSE;
        in.mi.dx = x;
        in.mi.dy = y;
    }
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(3, input, sizeof(INPUT));
    Pump();
}

}  // namespace

void Pump() {
    // Input goes through the server before it reaches the queue: pump until
    // the queue has stayed empty for a moment.
    constexpr int kRoundMs = 10;
    constexpr int kQuietRounds = 3;
    constexpr int kMostRounds = 300;  // a window that repaints for ever ends it too
    // Timers tick for ever (the system's mouse tracking among them): they are
    // dispatched but are no sign of work still going on.
    constexpr UINT kSystemTimer = 0x0118;
    for (int quiet = 0, round = 0; quiet < kQuietRounds && round < kMostRounds; ++round) {
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            any = any || (msg.message != WM_TIMER && msg.message != kSystemTimer);
        }
        quiet = any ? 0 : quiet + 1;
        Sleep(kRoundMs);
    }
}

std::string Text(HWND window) {
    std::string s(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    GetWindowTextA(window, s.data(), static_cast<int>(s.size()));
    s.resize(s.size() - 1);
    return s;
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    char text[256] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &tv);
    return text;
}

namespace {

int ImageOf(HWND tree, HTREEITEM item) {
    TVITEMA tv{};
    tv.mask = TVIF_IMAGE;
    tv.hItem = item;
    TreeView_GetItem(tree, &tv);
    return tv.iImage;
}

}  // namespace

std::vector<std::string> DescribeTree(HWND tree) {
    std::vector<std::string> lines;
    for (HTREEITEM g = TreeView_GetRoot(tree); g != nullptr; g = TreeView_GetNextSibling(tree, g)) {
        const bool expanded = (TreeView_GetItemState(tree, g, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        std::string line = TreeItemText(tree, g) + (expanded ? "+:" : ":");
        for (HTREEITEM f = TreeView_GetChild(tree, g); f != nullptr;
             f = TreeView_GetNextSibling(tree, f)) {
            line += " " + TreeItemText(tree, f) + "/" + std::to_string(ImageOf(tree, f));
        }
        lines.push_back(line);
    }
    return lines;
}

HTREEITEM FindTreeItem(HWND tree, const std::string& text) {
    for (HTREEITEM g = TreeView_GetRoot(tree); g != nullptr; g = TreeView_GetNextSibling(tree, g)) {
        if (TreeItemText(tree, g) == text) {
            return g;
        }
        for (HTREEITEM f = TreeView_GetChild(tree, g); f != nullptr;
             f = TreeView_GetNextSibling(tree, f)) {
            if (TreeItemText(tree, f) == text) {
                return f;
            }
        }
    }
    return nullptr;
}

void ClickTreeItem(HWND tree, HTREEITEM item) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tree, &p);
    ClickAt(p);
}

void ClickWindow(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void PressKey(WORD virtualKey) {
    SendKey(virtualKey);
    Pump();
}

namespace {

int ListColumns(HWND list) {
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

}  // namespace

std::vector<std::string> ListHeadings(HWND list) {
    std::vector<std::string> headings;
    for (int c = 0; c < ListColumns(list); ++c) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
        headings.push_back(text);
    }
    return headings;
}

// Each item as "column 0 | column 1 | ...".
std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    for (int i = 0; i < static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); ++i) {
        std::string row;
        for (int c = 0; c < ListColumns(list); ++c) {
            char text[128] = {};
            ListView_GetItemText(list, i, c, text, sizeof text);
            row += (c > 0 ? " | " : "") + std::string(text);
        }
        rows.push_back(row);
    }
    return rows;
}

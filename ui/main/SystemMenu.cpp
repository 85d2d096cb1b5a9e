#include "ui/main/SystemMenu.h"

#include "framework/CWinApp.h"
#include "resources/resource.h"

namespace {

struct Entry {
    UINT command;
    UINT text;       // string resource
    WPARAM key;      // with Ctrl, as the entry's text says; 0: none
    bool greyed;     // at first
    bool separated;  // a separator above it
};

constexpr Entry kEntries[] = {
    {IDM_ABOUTBOX, IDS_ABOUTBOX, 0, false, true},
    // A search uses no session: it works logged out as well.
    {IDM_FIND_BOXES, IDS_FIND_BOXES, 'F', false, true},
    // Usable only while logged in: a backup goes through the window's session.
    {IDM_BACKUPS, IDS_BACKUPS, 'B', true, false},
};

}  // namespace

void SystemMenu::AddEntries() {
    const HMENU menu = Menu();
    if (menu == nullptr) {
        return;
    }
    for (const Entry& e : kEntries) {
        char text[256] = {};
        LoadStringA(AfxGetResourceHandle(), e.text, text, sizeof text);
        if (text[0] == '\0') {
            continue;
        }
        if (e.separated) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        }
        ::AppendMenuA(menu, MF_STRING | (e.greyed ? MF_GRAYED : 0), e.command, text);
    }
}

void SystemMenu::EnableBackups(bool enable) {
    if (const HMENU menu = Menu()) {
        ::EnableMenuItem(menu, IDM_BACKUPS, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    }
}

bool SystemMenu::PostShortcut(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0 ||
        ::GetKeyState(VK_SHIFT) < 0 || (msg.hwnd != Window() && !::IsChild(Window(), msg.hwnd))) {
        return false;
    }
    for (const Entry& e : kEntries) {
        if (e.key != 0 && msg.wParam == e.key) {
            ::PostMessageA(Window(), WM_SYSCOMMAND, e.command, 0);
            return true;
        }
    }
    return false;
}

UINT SystemMenu::EntryChosen(WPARAM command) const {
    const UINT chosen = static_cast<UINT>(command & 0xFFF0);
    for (const Entry& e : kEntries) {
        if (e.command == chosen) {
            const HMENU menu = Menu();
            const bool greyed =
                menu != nullptr && (::GetMenuState(menu, chosen, MF_BYCOMMAND) & MF_GRAYED) != 0;
            return greyed ? 0 : chosen;
        }
    }
    return 0;
}

bool SystemMenu::IsEntry(WPARAM command) {
    for (const Entry& e : kEntries) {
        if (e.command == (command & 0xFFF0)) {
            return true;
        }
    }
    return false;
}

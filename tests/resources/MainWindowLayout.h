// The main window's 22 controls as the program expects them, in tab order.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "resource.h"

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;  // beyond WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    int textOrdinal = -1;  // a resource named by number instead of a text
};

inline const std::vector<ExpectedControl>& MainWindowControls() {
    constexpr DWORD kTree =
        WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
    static const std::vector<ExpectedControl> controls = {
        {IDC_LOG, L"Edit", L"", 135, 15, 258, 127,
         WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0},
        {IDC_DOWNLOAD, L"Button", L"", 137, 205, 32, 23, WS_TABSTOP | BS_ICON, 0},
        {IDC_UPLOAD, L"Button", L"", 137, 260, 32, 23, WS_TABSTOP | BS_ICON, 0},
        {IDC_STATIC, L"Static", L"Box File List:", 179, 173, 60, 9, WS_GROUP, 0},
        {IDC_STATIC, L"Static", L"Local File List:", 3, 173, 65, 11, WS_GROUP, 0},
        {IDC_TEXT, L"Edit", L"", 1, 330, 365, 130,
         WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, 0},
        {IDC_STATIC, L"Button", L"Conncet", 6, 6, 395, 161, BS_GROUPBOX, 0},
        {IDC_LOGIN, L"Button", L"Login", 25, 120, 74, 29, WS_TABSTOP | BS_PUSHBUTTON,
         WS_EX_DLGMODALFRAME | WS_EX_TRANSPARENT},
        {IDC_STATIC, L"Static", L"Password:", 13, 95, 40, 13, WS_GROUP, 0},
        {IDC_PASSWORD, L"Edit", L"", 55, 91, 64, 18,
         WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, 0},
        {IDC_BOX_IP, L"Edit", L"", 55, 63, 64, 15, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0},
        {IDC_TREE_LOCAL, L"SysTreeView32", L"Tree1", 5, 188, 126, 115, kTree, 0},
        {IDC_TREE_BOX, L"SysTreeView32", L"Tree2", 177, 188, 133, 114, kTree, 0},
        {IDOK, L"Button", L"OK", 335, 180, 26, 23, WS_TABSTOP | BS_ICON, 0},
        {IDC_PROGRESS, L"msctls_progress32", L"Progress1", 135, 148, 258, 8, WS_BORDER, 0},
        {IDC_STATIC, L"Static", L"BOX IP:", 13, 63, 37, 16, WS_GROUP | SS_CENTERIMAGE, 0},
        {IDC_SAVE, L"Button", L"S", 372, 330, 20, 20, WS_TABSTOP | BS_ICON | BS_CENTER | BS_VCENTER,
         0},
        {IDC_FORMAT_HELP, L"Button", L"", 372, 351, 20, 20, WS_TABSTOP | BS_ICON, 0},
        {IDC_CLEAR, L"Button", L"Button2", 372, 374, 20, 20, WS_TABSTOP | BS_ICON, 0},
        {IDC_STATUS, L"Static", L"", 11, 23, 111, 28, SS_WHITEFRAME | SS_NOTIFY, 0},
        {IDC_STATIC, L"Static", L"EXIT", 369, 185, 37, 14, WS_GROUP, 0},
        {IDC_SEL_FILE, L"Static", L"", 1, 312, 186, 13, WS_GROUP, 0},
    };
    return controls;
}

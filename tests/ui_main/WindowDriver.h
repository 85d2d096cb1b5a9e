#pragma once
// Drives real windows of this process as a user would, and reads them back:
// messages pumped, texts read, tree items found, real mouse and key input.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

// Dispatches every waiting message of this thread.
void Pump();
std::string Text(HWND window);

// The tree's items as lines "Group: file/image file/image", a '+' after the
// name of an expanded group.
std::vector<std::string> DescribeTree(HWND tree);
// The first item (group or file) with exactly that text; null when none.
HTREEITEM FindTreeItem(HWND tree, const std::string& text);
std::string TreeItemText(HWND tree, HTREEITEM item);

// A left click at the middle of a tree item, or of a window, through the
// system's input queue; the messages it makes are dispatched before return.
void ClickTreeItem(HWND tree, HTREEITEM item);
void ClickWindow(HWND window);
// A key press and release through the input queue, then dispatched.
void PressKey(WORD virtualKey);

// A report list view's column headings, and each item as "column 0 | column 1 | ...".
std::vector<std::string> ListHeadings(HWND list);
std::vector<std::string> ListRows(HWND list);

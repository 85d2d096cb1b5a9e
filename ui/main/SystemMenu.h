#pragma once
// The main window's entries of its system menu: About, then below a
// separator "Find boxes..." (usable at any time) and "Backups..." (greyed
// until the window logs in), the last; each of the two with a Ctrl key,
// which works anywhere in the window as the entry does.
#include <windows.h>

#include "framework/CWnd.h"

class SystemMenu {
public:
    // The window whose system menu it is (made or not yet); not owned.
    explicit SystemMenu(const CWnd& window) : m_window(window) {}

    void AddEntries();
    void EnableBackups(bool enable);
    // A key press in the window that is an entry's Ctrl key: the entry's
    // command, posted as the menu posts it (so that a greyed entry does
    // nothing here too); true when it was one.
    bool PostShortcut(const MSG& msg) const;
    // WM_SYSCOMMAND's command when it is one of these entries and not
    // greyed (a command can be sent for a greyed entry too); else 0.
    UINT EntryChosen(WPARAM command) const;
    // Whether the command is one of these entries, greyed or not.
    static bool IsEntry(WPARAM command);

private:
    HWND Window() const { return m_window.GetSafeHwnd(); }
    // The system's, not owned.
    HMENU Menu() const { return ::GetSystemMenu(Window(), FALSE); }

    const CWnd& m_window;
};

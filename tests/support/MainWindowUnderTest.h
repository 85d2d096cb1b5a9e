#pragma once
// The real main window wired as start-up wires it: a session of its own (not
// connected), the window made the one g_pMainDialog and the session's sinks. Open
// makes the window (modeless, hidden), Close or the object's end destroys it. A
// suite keeps one window for all of its tests where it can: making one is slow.
#include <memory>

#include "box/BoxSession.h"
#include "box/BoxSocket.h"
#include "ui/main/MainDialog.h"

// Once per test program, before the first window: the socket library and the
// common controls.
void StartWindowTests();

class MainWindowUnderTest {
public:
    MainWindowUnderTest() = default;
    ~MainWindowUnderTest() { Close(); }
    MainWindowUnderTest(const MainWindowUnderTest&) = delete;
    MainWindowUnderTest& operator=(const MainWindowUnderTest&) = delete;

    // False when the window could not be made.
    bool Open();
    void Close();

    MainDialog* Dialog() const { return m_pDialog.get(); }  // null while closed
    HWND Item(int id) const { return ::GetDlgItem(m_pDialog->GetSafeHwnd(), id); }
    BoxSocket& Socket() { return m_socket; }
    BoxSession& Session() { return m_session; }

private:
    BoxSocket m_socket;
    BoxSession m_session{&m_socket};
    std::unique_ptr<MainDialog> m_pDialog;
};

#pragma once
// The window's side of a dialog's worker, the same for every such dialog: the
// mailbox the worker posts into, the wake-up it posts to the dialog, and, on
// the dialog's thread, what came shown at the pace of the eye: log lines and
// bar positions in the main window (through BoxWorkHost), the worker's own
// payload run as posted. The dialog forwards kMail and its WM_TIMER here.
#include <windows.h>

#include "ui/flow/PaintPacer.h"
#include "ui/flow/WorkerMailbox.h"
#include "ui/main/BoxWorkHost.h"

class WorkerRoom {
public:
    // The wake-up: the mailbox has something.
    static constexpr UINT kMail = WM_APP + 1;
    // Shows what waits once a paint is due.
    static constexpr UINT_PTR kTimer = 1;

    explicit WorkerRoom(BoxWorkHost& host);
    WorkerRoom(const WorkerRoom&) = delete;
    WorkerRoom& operator=(const WorkerRoom&) = delete;

    // The dialog woken; set before any worker starts, and it outlives every one.
    void Attach(HWND window) { m_hWnd = window; }
    WorkerMailbox& Mailbox() { return m_mailbox; }

    // On the worker.
    void Log(const char* text, int colorCode);
    // Reported for every block: only a change is passed on (true then).
    bool Percent(int percent);
    // The last post of every worker.
    void Ended();

    // On the dialog's thread: before a worker starts.
    void Starting() { m_nPercent = -1; }
    // kMail came: true when the worker's end was shown (it may be joined).
    bool OnMail();
    // WM_TIMER came for kTimer: the same.
    bool OnTimer();
    // Everything waiting shown at once, the timer stopped: the same.
    bool ShowNow();

private:
    BoxWorkHost& m_host;  // not owned
    HWND m_hWnd = nullptr;
    WorkerMailbox m_mailbox;
    PaintPacer m_pacer;   // how often what the worker reports is shown
    int m_nPercent = -1;  // the last percentage passed on; the worker's
};

#pragma once
// Where the session's log lines and percentages go, decided on the thread
// that tells them: on the window's thread into the console at once; on a
// worker's thread to the worker's dialog open (one at a time, modal), which
// posts them to the window's thread; nothing touches a control off it. A
// close of the window, while such a dialog is open, goes to it first.
#include <windows.h>

#include "framework/CDialog.h"
#include "ui/main/LogConsole.h"
#include "ui/main/WorkerClient.h"

class SinkRouter {
public:
    // The console and its edit control (made or not yet), not owned; the
    // window's thread is the one that makes the router.
    SinkRouter(LogConsole& console, const CWnd& log)
        : m_console(console), m_log(log), m_nWindowThread(::GetCurrentThreadId()) {}
    SinkRouter(const SinkRouter&) = delete;
    SinkRouter& operator=(const SinkRouter&) = delete;

    int Log(const char* text, int colorCode);
    int Progress(int percent);

    // `dialog` modal; meanwhile the sinks hand `client` what its worker tells
    // them. True when a close of the window came meanwhile: it is due now.
    bool RunModal(CDialog& dialog, WorkerClient& client);
    // A close of the window: true when it may close now; else the worker's
    // dialog was asked to stop and close, and RunModal will say so.
    bool CloseNow();

private:
    bool OnWindowThread() const { return ::GetCurrentThreadId() == m_nWindowThread; }

    LogConsole& m_console;
    const CWnd& m_log;
    DWORD m_nWindowThread;
    WorkerClient* m_pWorker = nullptr;  // the worker's dialog open; not owned
    bool m_bCloseAfter = false;         // a close came while it was open
};

#pragma once
// A dialog of the main window whose work runs on a worker thread, as the main
// window sees it while the dialog is open: the session's sinks hand it what
// they are told on its worker, and the main window's close asks it to stop.
class WorkerClient {
public:
    // On the worker: the session's log line and percentage, passed on by the
    // main window's sinks. Nothing here touches a control.
    virtual void WorkerLogged(const char* text, int colorCode) = 0;
    virtual void WorkerPercent(int percent) = 0;
    // On the window's thread: closes now, or, while its work runs, asks it to
    // stop and closes once it has ended.
    virtual void CloseWhenStopped() = 0;

protected:
    ~WorkerClient() = default;
};

#pragma once
// What the main window does for a dialog whose work runs on a worker thread:
// the log lines and bar positions any such worker reports reach the window's
// thread through the dialog's WorkerRoom and are shown here. Around each
// operation of the backups dialog, which uses the box session, nothing else
// may use the session, and afterwards the trees follow what the work changed
// (a search for boxes uses no session, and needs neither).
#include <string>

class BoxWorkHost {
public:
    // Before an operation starts: Login/Logout and the arrows are disabled.
    virtual void BoxWorkStarting() = 0;
    // A log line and a bar position that the worker reported; they show with
    // the next ShowBoxWork.
    virtual void BoxWorkLogged(const std::string& text, int colorCode) = 0;
    virtual void BoxWorkProgress(int percent) = 0;
    virtual void ShowBoxWork() = 0;
    // After a backup, a compare or a restore: everything shown, the controls back.
    virtual void AfterBoxWork() = 0;

protected:
    ~BoxWorkHost() = default;
};

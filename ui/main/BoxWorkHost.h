#pragma once
// What the main window does around each operation of the backups dialog,
// which runs on a worker thread: while it runs, nothing else may use the box
// session; the log lines and bar positions the worker reports reach the
// window's thread through the dialog and are shown here; afterwards the trees
// follow what the work changed.
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

#pragma once
// What the main window does around each operation of the backups dialog: its
// console and bar keep what changes while the operation holds the thread and
// show it in few paints, and afterwards its trees follow what the work changed.
class BoxWorkHost {
public:
    // `hold`: from now on, new log lines and bar positions are shown at the
    // pace of a PaintPacer; false shows at once all that was kept.
    virtual void HoldConsole(bool hold) = 0;
    // After a backup, a compare or a restore.
    virtual void AfterBoxWork() = 0;

protected:
    ~BoxWorkHost() = default;
};

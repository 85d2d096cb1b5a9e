#pragma once
// The log console and the progress bar below it, which show what the box
// session reports: each line appended, the whole console in the colour of the
// last one, and the bar moved. A login or a transfer holds the window's thread,
// so each line is painted as it comes and the bar as often as the eye follows;
// while the console is held (the backups dialog's worker has the session), what
// comes is kept and shown once per batch.
#include <string>

#include "framework/CProgressCtrl.h"
#include "ui/flow/PaintPacer.h"
#include "ui/text/ColorEdit.h"

class LogConsole {
public:
    // The bar's range is 0 to this.
    static constexpr int kFullPercent = 100;

    // Both controls are the dialog's, bound by it; not owned.
    LogConsole(ColorEdit& editLog, CProgressCtrl& progress);
    LogConsole(const LogConsole&) = delete;
    LogConsole& operator=(const LogConsole&) = delete;

    // Once the controls are bound: the console's colours and limit, the bar's range.
    void Init();
    // The program's name, where it is from and its version, the first lines.
    void Greet();
    // No selection in the console, the caret in view, and the focus there.
    void TakeFocus();

    // Adds `text` in the colour of `colorCode` (LogColor); nothing while the
    // console has no window.
    void Append(const char* text, int colorCode);
    // The window's own `text`, shown as it is: whatever it holds of a name
    // was escaped by the caller, and a path's backslashes stay single.
    void AppendUnescaped(const std::string& text, int colorCode);
    // Moves the bar to `percent`; returns the position shown before.
    int SetProgress(int percent);

    // From now on lines and positions are kept until ShowKept.
    void Hold();
    // What was kept goes into the controls, painted with the window.
    void ShowKept();
    // Ends the hold: everything kept is shown.
    void Release();

private:
    // Adds the log text kept so far to the console; `paint`: paints it now.
    void ShowKeptLog(bool paint);

    ColorEdit& m_editLog;       // not owned
    CProgressCtrl& m_progress;  // not owned
    std::string m_strLogKept;   // log text not yet in the console
    int m_nLogKeptColor = 0;    // the colour code of its last line
    int m_nProgressShown = 0;   // the bar's position, set only by SetProgress
    PaintPacer m_barPacer;
    bool m_bHeld = false;
};

#include "ui/main/LogConsole.h"

#include <windows.h>

#include <cstring>

#include "base/TextEscape.h"
#include "base/Version.h"
#include "ui/main/LogColor.h"

namespace {

constexpr int kLogLimit = 0x100000;
constexpr COLORREF kLogBack = RGB(0, 50, 0);
constexpr COLORREF kLogText = RGB(255, 255, 255);

// An edit control breaks lines only at CR LF: each lone LF of a log text
// becomes CR LF, so that every line shows on a line of its own.
std::string WithEditLineEnds(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n' && (p == text || p[-1] != '\r')) {
            out += '\r';
        }
        out += *p;
    }
    return out;
}

std::string ProgramFileName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    return name != nullptr ? name + 1 : path;
}

}  // namespace

void LogConsole::Greet() {
    Append((ProgramFileName() + " - the LAN manager of your set-top box - www.velqo.example\n")
               .c_str(),
           0);
    Append((std::string("Version: v") + version::kText + "\n").c_str(), 0);
}

LogConsole::LogConsole(ColorEdit& editLog, CProgressCtrl& progress)
    : m_editLog(editLog), m_progress(progress) {}

void LogConsole::Init() {
    m_progress.SetRange(0, kFullPercent);
    m_progress.SetPos(m_nProgressShown);
    m_editLog.SetBackColor(kLogBack);
    m_editLog.SetForeColor(kLogText);
    m_editLog.SetLimitText(kLogLimit);
}

void LogConsole::TakeFocus() {
    m_editLog.SetSel(-1, 0);
    m_editLog.SetFocus();
}

void LogConsole::Append(const char* text, int colorCode) {
    // Names and box texts in a line show escaped, as on velqo-cli's terminal.
    AppendUnescaped(EscapeLogText(text), colorCode);
}

void LogConsole::AppendUnescaped(const std::string& text, int colorCode) {
    if (m_editLog.GetSafeHwnd() == nullptr) {
        return;
    }
    m_strLogKept += WithEditLineEnds(text.c_str());
    m_nLogKeptColor = colorCode;
    // A login or a transfer holds the window's thread, and may hold it long
    // before anything else is painted: every line is painted as it comes.
    // The backups dialog's lines come in batches, on a free thread, and are
    // shown once per batch.
    if (!m_bHeld) {
        ShowKeptLog(true);
    }
}

void LogConsole::ShowKeptLog(bool paint) {
    if (!m_strLogKept.empty()) {
        const int n = m_editLog.GetWindowTextLength();
        m_editLog.SetSel(n, n, TRUE);
        // The whole console takes the last line's colour. A new colour repaints
        // the whole console; the same one needs no repaint beyond the new text's.
        if (m_editLog.GetForeColor() != LogColor(m_nLogKeptColor)) {
            m_editLog.SetForeColor(LogColor(m_nLogKeptColor));
        }
        m_editLog.ReplaceSel(m_strLogKept.c_str());
        m_strLogKept.clear();
    }
    if (paint) {
        m_editLog.UpdateWindow();
    }
}

int LogConsole::SetProgress(int percent) {
    if (m_progress.GetSafeHwnd() == nullptr) {
        return 0;
    }
    // Reported for every block: only a change of the bar is worth a message
    // and a repaint, so the position shown is kept at hand.
    const int shown = m_nProgressShown;
    if (percent == shown) {
        return shown;
    }
    m_nProgressShown = percent;
    if (m_bHeld) {
        return shown;  // the backups dialog's work shows once per batch
    }
    // Moved and painted at once, but not more often than the eye follows:
    // under Wine each move of a progress bar costs about a millisecond. The
    // end of a transfer always shows.
    if (!m_barPacer.Due(::GetTickCount(), percent == kFullPercent)) {
        return shown;
    }
    m_progress.SetPos(percent);
    m_progress.UpdateWindow();
    return shown;
}

void LogConsole::Hold() {
    m_bHeld = true;
}

void LogConsole::ShowKept() {
    // The thread is free: the console and the bar are painted with the window.
    ShowKeptLog(false);
    if (m_progress.GetPos() != m_nProgressShown) {
        m_progress.SetPos(m_nProgressShown);
    }
}

void LogConsole::Release() {
    m_bHeld = false;
    ShowKept();
}

#pragma once
// The session's log lines and progress, on stderr. The sinks are plain
// functions without a context, so they reach the one TerminalLog through a
// process-wide pointer. A log text's leading and trailing line feeds are
// written as they are; control characters inside it (a box's name or text
// may hold any) are written escaped (base/TextEscape.h).
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "cli/ProgressLine.h"

class TerminalLog {
public:
    // Milliseconds from any fixed point; steady.
    using Clock = std::function<int64_t()>;
    // The line is redrawn at most this often; a finished transfer at once.
    static constexpr int64_t kRedrawIntervalMs = 100;

    // `showProgress`: draw a progress line (only sensible on a terminal).
    // `showLog`: pass the session's log lines on (not with --quiet).
    // `clock`: for tests; empty takes the steady clock.
    TerminalLog(FILE* out, bool showProgress, bool showLog = true, Clock clock = {});
    ~TerminalLog();
    TerminalLog(const TerminalLog&) = delete;
    TerminalLog& operator=(const TerminalLog&) = delete;

    static int LogSink(const char* text, int color);
    static int ProgressSink(int percent);
    static int ByteProgressSink(int64_t done, int64_t total);
    // Before a file's transfer: its name, and in a whole-box command its
    // place (`index` of `count`; 0 of 0 otherwise).
    static void FileStarting(const std::string& name, int index, int count);
    // The progress line of a command that moves no file ("tried 120 of 254
    // addresses, 3 answered"), redrawn at most every kRedrawIntervalMs
    // unless `last`.
    static void Status(const std::string& text, bool last);
    // Whether a progress line may be on the terminal.
    static bool ProgressShown();
    // Wipes a progress line shown on `out`, before text of velqo-cli's own.
    static void ClearLine(FILE* out);

    // Ends a progress line so that what follows starts on its own line.
    void EndProgress();

private:
    void Write(const char* text);
    void Wipe();
    void StartTransfer(int64_t now);
    // Draws only when what is shown changes (the percentage or the bytes,
    // not the clock), and not more often than the interval, except that
    // 100 % is always drawn: a transfer reports every kilobyte, and a
    // terminal that is sent a line for each slows it down.
    void Progress();
    void Draw(int64_t now);

    FILE* out_;  // not owned
    bool showProgress_;
    bool showLog_;
    Clock clock_;
    ProgressLine line_;
    int64_t startMs_ = 0;
    bool lineShown_ = false;
    int shownPercent_ = -1;
    int64_t shownDone_ = -1;
    int64_t lastDrawMs_ = 0;
    static TerminalLog* current_;
};

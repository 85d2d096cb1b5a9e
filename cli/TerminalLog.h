#pragma once
// The session's log lines and progress, on stderr. The sinks are plain
// functions without a context, so they reach the one TerminalLog through a
// process-wide pointer. A log text's leading and trailing line feeds are
// written as they are; control characters inside it (a box's name or text
// may hold any) are written escaped (base/TextEscape.h).
#include <cstdint>
#include <cstdio>
#include <functional>

class TerminalLog {
public:
    // Milliseconds from any fixed point; steady.
    using Clock = std::function<int64_t()>;
    // The bar is redrawn at most this often; a finished transfer at once.
    static constexpr int64_t kRedrawIntervalMs = 100;

    // `showProgress`: draw a progress bar (only sensible on a terminal).
    // `clock`: for tests; empty takes the steady clock.
    TerminalLog(FILE* out, bool showProgress, Clock clock = {});
    ~TerminalLog();
    TerminalLog(const TerminalLog&) = delete;
    TerminalLog& operator=(const TerminalLog&) = delete;

    static int LogSink(const char* text, int colour);
    static int ProgressSink(int percent);

    // Ends a progress bar line so that what follows starts on its own line.
    void EndProgress();

private:
    void Write(const char* text);
    // Draws only what changes what is shown, and not more often than the
    // interval, except that 100 % is always drawn: a transfer reports every
    // kilobyte, and a terminal that is sent a bar for each slows it down.
    void Progress(int percent);
    void DrawBar(int percent);

    FILE* out_;  // not owned
    bool showProgress_;
    Clock clock_;
    bool barShown_ = false;
    int shownPercent_ = -1;
    int latestPercent_ = -1;
    int64_t lastDrawMs_ = 0;
    static TerminalLog* current_;
};

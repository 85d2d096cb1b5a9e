#pragma once
// The session's log lines and progress, on stderr. The sinks are plain
// functions without a context, so they reach the one TerminalLog through a
// process-wide pointer.
#include <cstdio>

class TerminalLog {
public:
    // `showProgress`: draw a progress bar (only sensible on a terminal).
    TerminalLog(FILE* out, bool showProgress);
    ~TerminalLog();
    TerminalLog(const TerminalLog&) = delete;
    TerminalLog& operator=(const TerminalLog&) = delete;

    static int LogSink(const char* text, int colour);
    static int ProgressSink(int percent);

    // Ends a progress bar line so that what follows starts on its own line.
    void EndProgress();

private:
    void Write(const char* text);
    void DrawBar(int percent);

    FILE* out_;  // not owned
    bool showProgress_;
    bool barShown_ = false;
    static TerminalLog* current_;
};

#pragma once
// What velqo-cli says when Ctrl+C ends a backup, put or restore: one line
// with what was done, what was not, the file that may be half-sent on the
// box, and what to run next. The line is kept ready (SignalCleanup's
// farewell) as the work goes on, since the signal ends the process at once.
#include <string>
#include <vector>

#include "cli/CliOptions.h"

class CliInterruption {
public:
    struct State {
        CliOptions::Command command = CliOptions::Command::kBackup;
        int done = 0;                      // files saved (backup) or sent (put, restore)
        int total = 0;                     // files the command works on
        std::string current;               // being worked on; empty between files
        std::string folder;                // backup: its folder; restore: the backup given
        std::vector<std::string> notDone;  // put: the names not yet sent, current among them
    };

    // The line for `state`, ending in a line feed; empty for a command that
    // needs none (nothing is sent or left incomplete by it).
    static std::string Text(const State& state);

    // `startOnNewLine`: a progress line may be shown, so the text starts a line.
    CliInterruption(State state, bool startOnNewLine);
    // Nothing is said once the command has ended.
    ~CliInterruption();
    CliInterruption(const CliInterruption&) = delete;
    CliInterruption& operator=(const CliInterruption&) = delete;

    void Starting(const std::string& name);
    // The file that was started has ended; `counted`: saved or sent.
    void Done(bool counted);

private:
    void Keep() const;

    State state_;
    bool startOnNewLine_;
};

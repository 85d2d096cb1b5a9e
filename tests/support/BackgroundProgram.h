#pragma once
// A program started beside the test and left running, so that the test can
// send it signals, or give it standard streams that cannot be written. On
// Windows its output always goes to files, and the one signal it can be sent
// is SIGINT, which arrives as Ctrl+C from the program send_ctrl_c (a test
// that sends it depends on that program).
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "tests/support/StartAttempts.h"
#else
#include <sys/types.h>
#endif

class BackgroundProgram {
public:
#ifdef _WIN32
    BackgroundProgram(const std::string& program, const std::vector<std::string>& args);
#else
    // Where stdout or stderr goes: a file (read back with Out and Err), a
    // pipe whose reader has gone, or nowhere (the descriptor is closed).
    enum class Output { kFile, kBrokenPipe, kClosed };

    BackgroundProgram(const std::string& program, const std::vector<std::string>& args,
                      Output out = Output::kFile, Output err = Output::kFile);
#endif
    // Kills the program if it still runs, and reaps it.
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    bool Started() const;
    bool Signal(int signal) const;
    // Waits at most timeoutMs for the program to end; false when it still runs.
    // On Windows a program that Wine could not start (StartAttempts) is
    // started again meanwhile, and the wait goes on.
    bool Wait(int timeoutMs);

    // After Wait: how it ended. -1 when it did not exit by itself.
    int ExitStatus() const;
    // The signal that ended it, 0 when none did (always 0 on Windows).
    int KilledBy() const;
    std::string Out() const;
    std::string Err() const;
#ifndef _WIN32
    pid_t Pid() const {
        return pid_;
    }
#endif

private:
#ifdef _WIN32
    void Start();

    std::string commandLine_;
    StartAttempts attempts_;
    HANDLE process_ = nullptr;  // owned
    DWORD pid_ = 0;
#else
    pid_t pid_ = -1;
#endif
    bool ended_ = false;
    int status_ = 0;
    std::string outPath_;
    std::string errPath_;
};

// Waits, polling, at most timeoutMs until the condition holds.
template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMs) {
    constexpr int kPollMs = 10;
    for (int waited = 0; !condition(); waited += kPollMs) {
        if (waited >= timeoutMs) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return true;
}

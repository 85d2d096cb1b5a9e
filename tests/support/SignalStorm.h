#pragma once
// Signals sent over and over, as a terminal, a timer or a fuzzer's alarm
// sends them, so that every wait of the thread that gets them is cut short
// (EINTR): SIGUSR1 with a handler that does nothing, installed without
// SA_RESTART while the storm lasts. POSIX only.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

class SignalStorm {
public:
    // To one thread.
    explicit SignalStorm(pthread_t target);
    // To the process, so that a thread that does not block the signal takes
    // it: every thread but the one that makes the storm (and the storm's own).
    SignalStorm();
    ~SignalStorm();  // stops
    SignalStorm(const SignalStorm&) = delete;
    SignalStorm& operator=(const SignalStorm&) = delete;

    void Stop();
    // Signals handled so far, by any thread.
    static int Handled();

private:
    void Begin();

    bool toProcess_;
    pthread_t target_{};
    struct sigaction previousAction_ {};
    sigset_t previousMask_{};
    std::atomic<bool> stop_{false};
    std::thread sender_;
};

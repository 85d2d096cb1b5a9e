#include "tests/support/SignalStorm.h"

#include <unistd.h>

#include <chrono>

namespace {

constexpr auto kInterval = std::chrono::milliseconds(1);

std::atomic<int> g_handled{0};

extern "C" void CountSignal(int) {
    g_handled.fetch_add(1);
}

}  // namespace

SignalStorm::SignalStorm(pthread_t target) : toProcess_(false), target_(target) {
    Begin();
}

SignalStorm::SignalStorm() : toProcess_(true) {
    Begin();
}

void SignalStorm::Begin() {
    struct sigaction action {};
    action.sa_handler = CountSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: interrupted calls fail with EINTR
    sigaction(SIGUSR1, &action, &previousAction_);
    // Blocked here before the sender starts, so that the sender inherits it.
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &block, &previousMask_);
    sender_ = std::thread([this] {
        while (!stop_.load()) {
            if (toProcess_) {
                kill(getpid(), SIGUSR1);
            } else {
                pthread_kill(target_, SIGUSR1);
            }
            std::this_thread::sleep_for(kInterval);
        }
    });
}

SignalStorm::~SignalStorm() {
    Stop();
}

void SignalStorm::Stop() {
    if (!sender_.joinable()) {
        return;
    }
    stop_ = true;
    sender_.join();
    // A signal still pending is delivered here, to the handler that counts.
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
    sigaction(SIGUSR1, &previousAction_, nullptr);
}

int SignalStorm::Handled() {
    return g_handled.load();
}

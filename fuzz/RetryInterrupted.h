#pragma once
// A signal, libFuzzer's time-out alarm among them, cuts a waiting system
// call short with EINTR. The harnesses make such a call again, so that a
// finding is always a fault of the code under test, never of its harness.
#include <cerrno>

template <typename Call>
auto RetryInterrupted(Call call) {
    decltype(call()) r;
    do {
        r = call();
    } while (r < 0 && errno == EINTR);
    return r;
}

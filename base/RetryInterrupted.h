#pragma once
// A signal handled while a call waits cuts the call short with EINTR: select(),
// poll() and sockets with time-outs are never restarted, whatever the handler's
// flags say (and libFuzzer's time-out alarm is such a signal). The call is made
// again, so a signal is never taken for a failure of the call.
#include <cerrno>

template <typename Call>
auto RetryInterrupted(Call call) {
    decltype(call()) r;
    do {
        r = call();
    } while (r < 0 && errno == EINTR);
    return r;
}

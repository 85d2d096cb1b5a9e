#include "tests/support/MessagePump.h"

#include <chrono>
#include <thread>

#include "framework/FrameworkWin.h"

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    constexpr int kRoundMs = 10;
    for (int waited = 0; waited < timeoutMs; waited += kRoundMs) {
        PumpMessages();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kRoundMs));
    }
    return false;
}

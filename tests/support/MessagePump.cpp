#include "tests/support/MessagePump.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

#include "framework/CWnd.h"

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

bool OfferCtrlKey(HWND control, unsigned key) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), std::begin(held));
    held[VK_CONTROL] = 0x80;
    ::SetKeyboardState(held);
    MSG down{control, WM_KEYDOWN, key, 0, 0, {0, 0}};
    const BOOL taken = CWnd::WalkPreTranslateTree(&down);
    ::SetKeyboardState(keys);
    return taken != FALSE;
}

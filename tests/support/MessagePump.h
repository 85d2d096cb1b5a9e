#pragma once
// Message pumping for tests of real windows on this thread.
#include <functional>

#include "framework/FrameworkWin.h"

// Dispatches every message waiting in this thread's queue.
void PumpMessages();
// Pumps messages until `done` holds; false when it still does not after `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Ctrl+`key` pressed in `control`, as the message loop offers the key to the
// windows before dispatching it: true when one of them took it.
bool OfferCtrlKey(HWND control, unsigned key);

#pragma once
// Message pumping for tests of real windows on this thread.
#include <functional>

// Dispatches every message waiting in this thread's queue.
void PumpMessages();
// Pumps messages until `done` holds; false when it still does not after `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

#pragma once
// Drives a window that runs its own modal loop (a dialog, a message box): the
// loop does not return to the test until the window closes, so a thread timer
// ticking inside it finds the window and acts on it there.
#include <windows.h>

#include <functional>

// Calls `open`, which enters the modal loop of a top window titled `title`
// (of window class `windowClass`, or of any class when null); inside that loop
// `act` is handed the window once, and must close it (or leave it to close).
// Returns whether the window was seen. Waits a moment after `open` returns, so
// a window opened by a posted command is seen too.
bool InModalLoop(const char* windowClass, const char* title, const std::function<void()>& open,
                 const std::function<void(HWND)>& act);

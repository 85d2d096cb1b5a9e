#pragma once
// Real mouse and key input through the system's input queue, as a user gives
// it; the messages it makes arrive when the caller pumps.
#include <windows.h>

// Puts the pointer at `screen` and sends `flags` (button events, or a move of one
// pixel right onto the point). Positions are set directly: absolute input
// coordinates are not mapped alike under every Wine display mode.
void SendMouse(DWORD flags, POINT screen);
// A left click at the middle of a window: the pointer moves there, the left
// button goes down and up.
void SendClickAtCentre(HWND window);
// A key pressed and released.
void SendKey(WORD virtualKey);

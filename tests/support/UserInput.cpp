#include "tests/support/UserInput.h"

void SendMouse(DWORD flags, POINT screen) {
    const bool move = (flags & MOUSEEVENTF_MOVE) != 0;
    ::SetCursorPos(move ? screen.x - 1 : screen.x, screen.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = move ? 1 : 0;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

void SendClickAtCentre(HWND window) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    const POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    SendMouse(MOUSEEVENTF_MOVE, centre);
    SendMouse(MOUSEEVENTF_LEFTDOWN, centre);
    SendMouse(MOUSEEVENTF_LEFTUP, centre);
}

void SendKey(WORD virtualKey) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = virtualKey;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof input[0]);
}

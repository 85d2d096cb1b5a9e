#include "tests/support/ControlColors.h"

ControlColors AskControlColors(HWND dialog, HWND control, UINT message) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, RGB(1, 2, 3));
    ::SetBkColor(dc, RGB(4, 5, 6));
    const auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(
        dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    LOGBRUSH info{};
    const bool known = brush != nullptr && ::GetObjectA(brush, sizeof info, &info) != 0;
    const ControlColors colors{::GetTextColor(dc), ::GetBkColor(dc),
                                 known ? info.lbColor : CLR_INVALID, brush};
    ::DeleteDC(dc);
    return colors;
}

#include "framework/CEdit.h"

#include <cstring>

void CEdit::SetSel(int start, int end, BOOL noScroll) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    if (!noScroll) {
        SendMessage(EM_SCROLLCARET);
    }
}

void CEdit::GetSel(int& start, int& end) const {
    DWORD first = 0;
    DWORD last = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    start = static_cast<int>(first);
    end = static_cast<int>(last);
}

int CEdit::GetLine(int line, char* buffer, int maxChars) const {
    // EM_GETLINE reads the room from the buffer's first word, so one call hands out
    // at most 65,535 characters, and the buffer must hold that word.
    if (maxChars < static_cast<int>(sizeof(WORD))) {
        return 0;
    }
    const WORD room = static_cast<WORD>(maxChars > 0xFFFF ? 0xFFFF : maxChars);
    std::memcpy(buffer, &room, sizeof(room));
    return static_cast<int>(
        SendMessage(EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer)));
}

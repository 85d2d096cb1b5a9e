#include "framework/CEdit.h"

void CEdit::SetSel(int start, int end, BOOL noScroll) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    if (!noScroll) {
        SendMessage(EM_SCROLLCARET);
    }
}

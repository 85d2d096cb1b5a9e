#pragma once
// An edit control.
#include "framework/CWnd.h"

class CEdit : public CWnd {
public:
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(const char* text, BOOL canUndo = FALSE) {
        SendMessage(EM_REPLACESEL, static_cast<WPARAM>(canUndo), reinterpret_cast<LPARAM>(text));
    }
    void Clear() { SendMessage(WM_CLEAR); }
    void SetLimitText(UINT maxChars) { SendMessage(EM_LIMITTEXT, maxChars); }
    UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    // Character index of the first character of `line` (-1: the caret's line).
    int LineIndex(int line = -1) const {
        return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(line)));
    }
    // Length of the line holding character index `charIndex`.
    int LineLength(int charIndex = -1) const {
        return static_cast<int>(SendMessage(EM_LINELENGTH, static_cast<WPARAM>(charIndex)));
    }
    // EM_GETLINE: copies at most `maxChars` (up to 65,535) characters of `line`; no
    // NUL is added. Returns the number copied (0 when `maxChars` is below 2).
    int GetLine(int line, char* buffer, int maxChars) const;
    void SetReadOnly(BOOL readOnly = TRUE) {
        SendMessage(EM_SETREADONLY, static_cast<WPARAM>(readOnly));
    }
};

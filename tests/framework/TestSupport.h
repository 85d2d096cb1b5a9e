#pragma once
// Helpers for tests that drive real windows.
#include <functional>
#include <string>
#include <vector>

#include "framework/FrameworkWin.h"

// Answers every message box that appears while it exists: a thread timer finds
// each box, records its text, presses its OK button and then runs `afterAnswer`.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(std::function<void()> afterAnswer = {});
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<std::string>& Texts() const { return m_texts; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM self);

    std::function<void()> m_afterAnswer;
    std::vector<std::string> m_texts;
    UINT_PTR m_nTimer = 0;
};

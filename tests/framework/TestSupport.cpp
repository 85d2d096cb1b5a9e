#include "TestSupport.h"

#include "framework/CWnd.h"

namespace {

MessageBoxAnswerer* g_answerer = nullptr;  // not owned: the one that is running

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(std::function<void()> afterAnswer)
    : m_afterAnswer(std::move(afterAnswer)) {
    g_answerer = this;
    m_nTimer = ::SetTimer(nullptr, 0, 30, &Tick);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    ::KillTimer(nullptr, m_nTimer);
    g_answerer = nullptr;
}

void CALLBACK MessageBoxAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_answerer != nullptr) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &VisitWindow,
                            reinterpret_cast<LPARAM>(g_answerer));
    }
}

BOOL CALLBACK MessageBoxAnswerer::VisitWindow(HWND hwnd, LPARAM self) {
    auto* answerer = reinterpret_cast<MessageBoxAnswerer*>(self);
    char className[32] = {};
    ::GetClassNameA(hwnd, className, sizeof(className));
    // A message box is a dialog-class window without an object of ours.
    if (std::string(className) != "#32770" || !::IsWindowVisible(hwnd) ||
        CWnd::FromHandlePermanent(hwnd) != nullptr) {
        return TRUE;
    }
    std::string text;
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char childClass[32] = {};
        ::GetClassNameA(child, childClass, sizeof(childClass));
        char childText[512] = {};
        ::GetWindowTextA(child, childText, sizeof(childText));
        if (lstrcmpiA(childClass, "Static") == 0 && childText[0] != '\0') {
            text += childText;
        }
    }
    answerer->m_texts.push_back(text);
    ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (answerer->m_afterAnswer) {
        answerer->m_afterAnswer();
    }
    return FALSE;
}

#include "ui/menu/IconMenuItem.h"

#include <cwchar>

void IconMenuItem::SetText(const wchar_t* text) {
    if (text == nullptr) {
        m_pText.reset();
        return;
    }
    const size_t length = std::wcslen(text);
    m_pText = std::make_unique<wchar_t[]>(length + 1);
    std::wmemcpy(m_pText.get(), text, length + 1);
}

void IconMenuItem::SetTextAnsi(const char* text) {
    if (text == nullptr) {
        m_pText.reset();
        return;
    }
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        m_pText.reset();
        return;
    }
    m_pText = std::make_unique<wchar_t[]>(static_cast<size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, m_pText.get(), length);
}

CString IconMenuItem::GetTextAnsi() const {
    if (m_pText == nullptr) {
        return CString();
    }
    const int length =
        ::WideCharToMultiByte(CP_ACP, 0, m_pText.get(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return CString();
    }
    CString text;
    char* buffer = text.GetBuffer(length - 1);
    ::WideCharToMultiByte(CP_ACP, 0, m_pText.get(), -1, buffer, length, nullptr, nullptr);
    text.ReleaseBuffer(length - 1);
    return text;
}

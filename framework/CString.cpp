#include "framework/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (needed < 0) {
        m_text.clear();
        va_end(again);
        return;
    }
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, again);
    va_end(again);
    out.resize(static_cast<size_t>(needed));
    m_text = std::move(out);
}

void CString::MakeLower() {
    std::transform(m_text.begin(), m_text.end(), m_text.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
}

namespace {

int ToIndex(size_t pos) {
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

}  // namespace

int CString::Find(char c, int start) const {
    if (start < 0 || start > GetLength()) {
        return -1;
    }
    return ToIndex(m_text.find(c, static_cast<size_t>(start)));
}

int CString::Find(const char* text, int start) const {
    if (start < 0 || start > GetLength()) {
        return -1;
    }
    return ToIndex(m_text.find(text, static_cast<size_t>(start)));
}

int CString::ReverseFind(char c) const {
    return ToIndex(m_text.rfind(c));
}

CString CString::Left(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    const int rest = GetLength() - first;
    if (count < 0 || count > rest) {
        count = rest;
    }
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) {
        m_text.resize(static_cast<size_t>(minLength));
    }
    return m_text.data();
}

void CString::ReleaseBuffer(int length) {
    if (length < 0) {
        m_text.resize(std::char_traits<char>::length(m_text.c_str()));
    } else {
        m_text.resize(static_cast<size_t>(length));
    }
}

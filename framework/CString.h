#pragma once
// A small ANSI string over std::string: converts to const char* where the
// Windows API wants text, formats with printf rules, and loads string resources.
#include <string>
#include <string_view>

#include "framework/FrameworkWin.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text != nullptr ? text : "") {}
    CString(const char* text, int length) : m_text(text, static_cast<size_t>(length)) {}
    CString(std::string text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}

    operator const char*() const { return m_text.c_str(); }
    const char* GetString() const { return m_text.c_str(); }
    const std::string& Str() const { return m_text; }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text[static_cast<size_t>(index)]; }
    char operator[](int index) const { return GetAt(index); }

    CString& operator=(const char* text) {
        m_text = text != nullptr ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char* text) {
        m_text += text != nullptr ? text : "";
        return *this;
    }
    CString& operator+=(char c) {
        m_text += c;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_text + b.m_text);
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

    // printf-style formatting; the text is as long as the result needs.
    void Format(const char* format, ...);

    void MakeLower();
    // Index of the first match at or after `start`, or -1.
    int Find(char c, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char c) const;
    CString Left(int count) const;
    CString Mid(int first, int count = -1) const;

    // A writable buffer of at least `minLength` characters plus the NUL; ReleaseBuffer
    // takes the length up to the first NUL (or `length` when given).
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int length = -1);

private:
    std::string m_text;
};

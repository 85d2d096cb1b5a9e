#include "ui/text/ColorEdit.h"

#include <cstring>
#include <filesystem>
#include <string_view>

#include "base/StdioFile.h"
#include "box/DownloadFile.h"
#include "box/ReplacingFile.h"
#include "framework/CDC.h"

BEGIN_MESSAGE_MAP(ColorEdit, CEdit)
ON_CTLCOLOR_REFLECT(&ColorEdit::CtlColor)
END_MESSAGE_MAP()

ColorEdit::ColorEdit() : m_pBuffer(new char[kBufferSize]()) {}

ColorEdit::~ColorEdit() = default;

void ColorEdit::SetBackColor(COLORREF color) {
    m_crBack = color;
    m_brBack.DeleteObject();
    m_brBack.CreateSolidBrush(color);
    InvalidateRect(nullptr, TRUE);
}

void ColorEdit::SetForeColor(COLORREF color) {
    m_crText = color;
    InvalidateRect(nullptr, TRUE);
}

HBRUSH ColorEdit::CtlColor(CDC* dc, UINT) {
    dc->SetTextColor(m_crText);
    dc->SetBkColor(m_crBack);
    return m_brBack.GetSafeHandle();
}

void ColorEdit::ClearText() {
    const int length = GetWindowTextLength();
    SendMessage(EM_SETSEL, 0, length);
    SendMessage(WM_CLEAR);
    std::memset(m_pBuffer.get(), 0, kBufferSize);
}

ColorEdit::LoadResult ColorEdit::ReadIntoBuffer(FILE* file) {
    char* out = m_pBuffer.get();
    size_t length = 0;
    const auto emit = [&](char c) {
        if (length >= kBufferSize - 1) {
            return false;
        }
        out[length++] = c;
        return true;
    };
    const auto emitLineEnd = [&] { return emit('\r') && emit('\n'); };

    // A CR is held back until the next byte shows whether it starts a CR LF end.
    bool heldCr = false;
    bool lineOpen = false;
    char piece[1024];
    size_t got = 0;
    while ((got = std::fread(piece, 1, sizeof(piece), file)) > 0) {
        m_lineEnds.Count(std::string_view(piece, got));
        for (size_t i = 0; i < got; ++i) {
            const char c = piece[i];
            if (c == '\0') {
                return LoadResult::NotText;
            }
            if (heldCr) {
                heldCr = false;
                if (c == '\n') {
                    if (!emitLineEnd()) {
                        return LoadResult::TooLarge;
                    }
                    lineOpen = false;
                    continue;
                }
                if (!emit('\r')) {
                    return LoadResult::TooLarge;
                }
            }
            if (c == '\r') {
                heldCr = true;
                lineOpen = true;
                continue;
            }
            if (c == '\n') {
                if (!emitLineEnd()) {
                    return LoadResult::TooLarge;
                }
                lineOpen = false;
                continue;
            }
            if (!emit(c)) {
                return LoadResult::TooLarge;
            }
            lineOpen = true;
        }
    }
    // The last line ends with the file; a CR that is the file's last byte is its end.
    if (lineOpen && !emitLineEnd()) {
        return LoadResult::TooLarge;
    }
    out[length] = '\0';
    return LoadResult::Loaded;
}

ColorEdit::LoadResult ColorEdit::LoadTextFile(const char* path) {
    ClearText();
    m_lineEnds = {};
    StdioFile file(path, "rb");
    if (!file.IsOpen()) {
        return LoadResult::NotOpened;
    }
    LoadResult result = ReadIntoBuffer(file.Get());
    if (result == LoadResult::Loaded) {
        SetWindowText(m_pBuffer.get());
        // The control must hold exactly what a save would write back; text that the
        // window cannot take as it is (its character conversion, memory) is refused.
        CString shown;
        GetWindowText(shown);
        if (std::strcmp(shown, m_pBuffer.get()) != 0) {
            SetWindowText("");
            result = LoadResult::NotText;
        }
    }
    if (result != LoadResult::Loaded) {
        std::memset(m_pBuffer.get(), 0, kBufferSize);
        m_lineEnds = {};
        m_refusedPath = path;
        return result;
    }
    m_refusedPath.clear();
    return result;
}

bool ColorEdit::SaveTextFile(const char* path) {
    {
        StdioFile existing(path, "rb");
        if (!existing.IsOpen()) {
            return false;
        }
    }
    if (!m_refusedPath.empty() && m_refusedPath == path) {
        return false;
    }
    // The control's text is its lines joined by CR LF; the file gets the ends it came with.
    CString shown;
    GetWindowText(shown);
    const std::string text = m_lineEnds.Restore(
        std::string_view(shown.GetString(), static_cast<size_t>(shown.GetLength())));
    {
        // A file we may read but not write keeps its text, as it did when
        // written in place; the new text goes beside it first, so a write that
        // fails (a full disk) leaves the file as it was.
        StdioFile writable(path, "r+b");
        if (!writable.IsOpen()) {
            return false;
        }
    }
    const std::filesystem::path target(path);
    ReplacingFile out(
        path,
        (target.parent_path() / DownloadFile::TemporaryName(target.filename().string())).string());
    out.Write(text.data(), text.size());
    return out.Commit();
}

#include "ui/menu/MenuTemplateReader.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 2 * sizeof(WORD);

}  // namespace

MenuTemplateReader::MenuTemplateReader(const void* data, size_t size)
    : m_pData(static_cast<const BYTE*>(data)), m_nSize(data != nullptr ? size : 0), m_nPos(0) {
    WORD version = 0;
    WORD offset = 0;
    if (ReadWord(version) && ReadWord(offset)) {
        m_nPos = kHeaderSize + offset;
    } else {
        m_nPos = m_nSize;
    }
}

bool MenuTemplateReader::ReadWord(WORD& word) {
    if (m_nPos > m_nSize || m_nSize - m_nPos < sizeof(WORD)) {
        m_nPos = m_nSize;
        return false;
    }
    std::memcpy(&word, m_pData + m_nPos, sizeof(WORD));
    m_nPos += sizeof(WORD);
    return true;
}

bool MenuTemplateReader::Next(Item& item) {
    item = Item{};
    if (!ReadWord(item.flags)) {
        return false;
    }
    if ((item.flags & MF_POPUP) == 0 && !ReadWord(item.id)) {
        return false;
    }
    for (;;) {
        WORD ch = 0;
        if (!ReadWord(ch)) {
            return false;
        }
        if (ch == 0) {
            return true;
        }
        item.text.push_back(static_cast<wchar_t>(ch));
    }
}

#include "ui/widgets/MenuTemplateReader.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 2 * sizeof(WORD);

}  // namespace

MenuTemplateReader::MenuTemplateReader(const void* data, size_t size)
    : m_data(static_cast<const BYTE*>(data)), m_size(data != nullptr ? size : 0), m_pos(0) {
    WORD version = 0;
    WORD offset = 0;
    if (ReadWord(version) && ReadWord(offset)) {
        m_pos = kHeaderSize + offset;
    } else {
        m_pos = m_size;
    }
}

bool MenuTemplateReader::ReadWord(WORD& word) {
    if (m_pos > m_size || m_size - m_pos < sizeof(WORD)) {
        m_pos = m_size;
        return false;
    }
    std::memcpy(&word, m_data + m_pos, sizeof(WORD));
    m_pos += sizeof(WORD);
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

#pragma once
// Reads the items of a menu template resource (a header of two 16-bit words:
// version and the offset of the first item after the header; then per item a flags
// word, a command id word unless the item opens a popup, and the NUL-terminated
// UTF-16 text). Everything is read within the resource's size: an item that would
// run past its end, or a text without its terminator there, ends the reading.
#include <cstddef>
#include <string>

#include "framework/FrameworkWin.h"

class MenuTemplateReader {
public:
    struct Item {
        WORD flags = 0;  // MF_POPUP, MF_END, MF_GRAYED, ... as stored
        WORD id = 0;     // 0 for a popup
        std::wstring text;
    };

    MenuTemplateReader(const void* data, size_t size);

    // The next whole item; false at the end of the resource.
    bool Next(Item& item);

private:
    bool ReadWord(WORD& word);

    const BYTE* m_pData;
    size_t m_nSize;
    size_t m_nPos;
};

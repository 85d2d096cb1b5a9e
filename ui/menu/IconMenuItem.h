#pragma once
// What the icon menu knows of one of its items. A record's address is the item's
// owner-draw data, so the record outlives the menu item that refers to it. The text
// is kept wide; ANSI text goes in and out through the system ANSI code page.
// Never copied.
#include <memory>

#include "framework/CString.h"
#include "framework/FrameworkWin.h"

class IconMenuItem {
public:
    IconMenuItem() = default;
    IconMenuItem(const IconMenuItem&) = delete;
    IconMenuItem& operator=(const IconMenuItem&) = delete;

    // A copy of `text` (null: no text).
    void SetText(const wchar_t* text);
    void SetTextAnsi(const char* text);
    const wchar_t* GetText() const { return m_pText.get(); }
    // The text in ANSI; empty without text.
    CString GetTextAnsi() const;
    bool HasText() const { return m_pText != nullptr; }

    std::unique_ptr<wchar_t[]> m_pText;  // null when the item has no text
    int m_nOwnImage = -1;                // reserved
    int m_nSharedImage = -1;             // index into the shared image list; -1: no image
    int m_nReserved1 = 0;
    int m_nOwnImageOffset = -1;       // reserved: -1 means "use the shared image"
    UINT m_nFlags = 0;                // the MF_ flags the item was last set with
    UINT m_nCommandId = 0;            // command id; a popup's menu handle; 0 for a separator
    int m_nSyncMark = 0;              // SyncRecords only
    void* m_pOwnImageList = nullptr;  // reserved
    int m_nReserved2 = 0;
};

#pragma once
// An item text split at its tabs: the label (before the first tab) drawn left
// aligned, the shortcut (after the last tab) right aligned.
#include <string>

#include "framework/CDC.h"
#include "framework/CRect.h"

class MenuText {
public:
    explicit MenuText(const wchar_t* text);

    bool HasShortcut() const { return m_bHasTab; }
    const std::wstring& Label() const { return m_label; }
    const std::wstring& Shortcut() const { return m_shortcut; }
    // Both parts, single line and centred vertically in `area`, in the current colour.
    void Draw(CDC* dc, const CRect& area) const;

private:
    std::wstring m_label;
    std::wstring m_shortcut;
    bool m_bHasTab = false;
};

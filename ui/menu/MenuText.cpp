#include "ui/menu/MenuText.h"

namespace {

constexpr UINT kLabelFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT;      // 0x24
constexpr UINT kShortcutFormat = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;  // 0x26

}  // namespace

MenuText::MenuText(const wchar_t* text) {
    const std::wstring whole = text != nullptr ? text : L"";
    const size_t first = whole.find(L'\t');
    if (first == std::wstring::npos) {
        m_label = whole;
        return;
    }
    m_bHasTab = true;
    m_label = whole.substr(0, first);
    m_shortcut = whole.substr(whole.rfind(L'\t') + 1);
}

void MenuText::Draw(CDC* dc, const CRect& area) const {
    CRect rect = area;
    dc->DrawTextW(m_label.c_str(), static_cast<int>(m_label.size()), &rect, kLabelFormat);
    if (m_bHasTab) {
        rect = area;
        dc->DrawTextW(m_shortcut.c_str(), static_cast<int>(m_shortcut.size()), &rect,
                      kShortcutFormat);
    }
}

#include "framework/CToolBar.h"

#include <cstring>
#include <vector>

#include "framework/CWinApp.h"
#include "framework/SysColorBitmap.h"

namespace {

constexpr WORD kToolBarVersion = 1;
constexpr int kHeaderWords = 4;   // version, width, height, count
constexpr int kButtonMargin = 7;  // a button is its image plus this in each direction
constexpr DWORD kBarStyleMask = 0xFFFF;

}  // namespace

CToolBar::~CToolBar() {
    // The window is ours: it goes before the bitmap it shows.
    DestroyWindow();
}

BOOL CToolBar::Create(HWND parent, DWORD style, UINT id) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    const DWORD windowStyle = (style & ~kBarStyleMask) | CCS_TOP | CCS_NODIVIDER | TBSTYLE_FLAT;
    HWND hwnd = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, windowStyle, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                  AfxGetInstanceHandle(), nullptr);
    if (hwnd == nullptr) {
        return FALSE;
    }
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT resourceId) {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    const char* name = MAKEINTRESOURCEA(resourceId);
    HINSTANCE instance = AfxFindResourceHandle(name, RT_TOOLBAR);
    HRSRC found = ::FindResourceA(instance, name, RT_TOOLBAR);
    HGLOBAL global = found != nullptr ? ::LoadResource(instance, found) : nullptr;
    const void* data = global != nullptr ? ::LockResource(global) : nullptr;
    if (data == nullptr) {
        return FALSE;
    }
    const size_t size = ::SizeofResource(instance, found);
    if (size < kHeaderWords * sizeof(WORD)) {
        return FALSE;
    }
    std::vector<WORD> words(size / sizeof(WORD));
    std::memcpy(words.data(), data, words.size() * sizeof(WORD));
    const WORD width = words[1];
    const WORD height = words[2];
    const size_t count = words[3];
    if (words[0] != kToolBarVersion || width == 0 || height == 0 ||
        words.size() < kHeaderWords + count) {
        return FALSE;
    }

    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(width + kButtonMargin, height + kButtonMargin));
    HINSTANCE bitmapModule = AfxFindResourceHandle(name, RT_BITMAP);
    HRSRC bitmapResource = ::FindResourceA(bitmapModule, name, RT_BITMAP);
    if (bitmapResource != nullptr && m_bitmap.GetSafeHandle() == nullptr) {
        m_bitmap.Attach(AfxLoadSysColorBitmap(bitmapModule, bitmapResource));
    }
    int images = 0;
    std::vector<TBBUTTON> buttons;
    for (size_t i = 0; i < count; ++i) {
        const WORD command = words[kHeaderWords + i];
        TBBUTTON button{};
        button.idCommand = command;
        if (command == 0) {
            button.fsStyle = TBSTYLE_SEP;
        } else {
            button.iBitmap = images++;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
        }
        buttons.push_back(button);
    }
    if (m_bitmap.GetSafeHandle() != nullptr && images > 0) {
        TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(m_bitmap.GetSafeHandle())};
        SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&add));
    }
    if (!buttons.empty()) {
        SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    }
    return TRUE;
}

int CToolBar::CommandToIndex(UINT id) const {
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id));
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
    TBBUTTON button{};
    if (index < 0 ||
        !SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) {
        id = 0;
        style = 0;
        image = 0;
        return;
    }
    id = static_cast<UINT>(button.idCommand);
    style = button.fsStyle;
    image = button.iBitmap;
}

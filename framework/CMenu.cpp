#include "framework/CMenu.h"

#include <unordered_map>

#include "framework/CWinApp.h"
#include "framework/CWnd.h"

namespace {

// Handles of bound menus to their objects; user-interface thread only.
std::unordered_map<HMENU, CMenu*>& MenuMap() {
    static std::unordered_map<HMENU, CMenu*> map;
    return map;
}

}  // namespace

const CRuntimeClass CMenu::classCMenu{"CMenu", static_cast<int>(sizeof(CMenu)), 0xFFFF, nullptr};

const CRuntimeClass* CMenu::GetRuntimeClass() const {
    return &classCMenu;
}

CMenu::~CMenu() {
    DestroyMenu();
}

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
    if (menu == nullptr) {
        return nullptr;
    }
    auto it = MenuMap().find(menu);
    return it != MenuMap().end() ? it->second : nullptr;
}

BOOL CMenu::Attach(HMENU menu, bool owned) {
    if (m_hMenu != nullptr || menu == nullptr || FromHandlePermanent(menu) != nullptr) {
        return FALSE;
    }
    m_hMenu = menu;
    m_bOwned = owned;
    MenuMap()[menu] = this;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu != nullptr) {
        MenuMap().erase(menu);
    }
    m_hMenu = nullptr;
    m_bOwned = false;
    return menu;
}

BOOL CMenu::CreatePopupMenu() {
    if (m_hMenu != nullptr) {
        return FALSE;
    }
    HMENU menu = ::CreatePopupMenu();
    if (!Attach(menu)) {
        ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

BOOL CMenu::LoadMenu(UINT resourceId) {
    if (m_hMenu != nullptr) {
        return FALSE;
    }
    HMENU menu = ::LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCEA(resourceId), RT_MENU),
                             MAKEINTRESOURCEA(resourceId));
    if (!Attach(menu)) {
        ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

void CMenu::ReleaseSubMenuObjects(HMENU menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub == nullptr) {
            continue;
        }
        ReleaseSubMenuObjects(sub);
        if (CMenu* object = FromHandlePermanent(sub)) {
            object->Detach();
        }
    }
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr) {
        return FALSE;
    }
    const bool owned = m_bOwned;
    HMENU menu = Detach();
    if (!owned) {
        return TRUE;
    }
    ReleaseSubMenuObjects(menu);
    return ::DestroyMenu(menu);
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    const int length = ::GetMenuStringA(m_hMenu, id, nullptr, 0, flags);
    if (length <= 0) {
        text.Empty();
        return 0;
    }
    char* buffer = text.GetBuffer(length);
    const int got = ::GetMenuStringA(m_hMenu, id, buffer, length + 1, flags);
    text.ReleaseBuffer(got);
    return got;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner != nullptr ? owner->m_hWnd : nullptr,
                            nullptr);
}

void CMenu::DrawItem(DRAWITEMSTRUCT*) {}

void CMenu::MeasureItem(MEASUREITEMSTRUCT*) {}

CMenu* CMenu::FindItemHolder(UINT_PTR itemId) {
    for (const auto& [menu, object] : MenuMap()) {
        const int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            HMENU sub = ::GetSubMenu(menu, i);
            const UINT_PTR id = sub != nullptr ? reinterpret_cast<UINT_PTR>(sub)
                                               : static_cast<UINT_PTR>(::GetMenuItemID(menu, i));
            // Item ids arrive as 32-bit values; menu handles fit in them.
            if (static_cast<UINT>(id) == static_cast<UINT>(itemId)) {
                return object;
            }
        }
    }
    return nullptr;
}

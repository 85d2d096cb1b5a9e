#pragma once
// A menu object. Attach binds a menu handle to the object and enters it in the
// permanent map (FromHandlePermanent); an owned menu is destroyed when the object
// goes, a borrowed one (for example a window's system menu) never is. Destroying a
// menu destroys its submenus too, so DestroyMenu first lets every object bound to a
// submenu let go of its handle. Owner-drawn items are measured and painted by the
// menu object that holds them (MeasureItem, DrawItem), reached from the owner
// window's WM_MEASUREITEM and WM_DRAWITEM. Never copied.
#include "framework/CRuntimeClass.h"
#include "framework/CString.h"
#include "framework/FrameworkWin.h"

class CWnd;

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    // The run-time class of plain menus; a derived menu class declares its own
    // (DECLARE_DYNAMIC), so that IsKindOf tells it from a plain menu.
    static const CRuntimeClass classCMenu;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* type) const {
        return GetRuntimeClass()->IsDerivedFrom(type) ? TRUE : FALSE;
    }

    operator HMENU() const { return m_hMenu; }

    // The object bound to `menu`, or null.
    static CMenu* FromHandlePermanent(HMENU menu);

    // Binds `menu`; `owned` decides whether this object destroys it. FALSE when this
    // object already holds a menu or another object holds `menu`.
    BOOL Attach(HMENU menu, bool owned = true);
    // Unbinds and returns the handle; the caller now owns it.
    HMENU Detach();
    BOOL CreatePopupMenu();
    // Loads a menu resource of the application's module.
    BOOL LoadMenu(UINT resourceId);
    // Destroys an owned menu (and its submenus), or lets go of a borrowed one.
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr) {
        return ::AppendMenuA(m_hMenu, flags, id, text);
    }
    // For MF_OWNERDRAW items: `data` is the item data handed back in MEASUREITEMSTRUCT
    // and DRAWITEMSTRUCT.
    BOOL AppendMenu(UINT flags, UINT_PTR id, const void* data) {
        return ::AppendMenuA(m_hMenu, flags, id, static_cast<const char*>(data));
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id, const void* data) {
        return ::ModifyMenuA(m_hMenu, position, flags, id, static_cast<const char*>(data));
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    // The submenu handle at `position` (not owned), or null.
    HMENU GetSubMenuHandle(int position) const { return ::GetSubMenu(m_hMenu, position); }
    // The object bound to the submenu at `position`, or null when it has none.
    CMenu* GetSubMenu(int position) const {
        return FromHandlePermanent(GetSubMenuHandle(position));
    }
    // TrackPopupMenu with `owner` receiving the menu's messages; with TPM_RETURNCMD
    // the result is the chosen command (0 for none).
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

    // Owner-draw hooks; the base class draws and measures nothing.
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    virtual void MeasureItem(MEASUREITEMSTRUCT* item);

    // The object of the menu that holds the owner-drawn item `itemId` (a command id or
    // a submenu handle), searched among all bound menus; null when none holds it.
    static CMenu* FindItemHolder(UINT_PTR itemId);

private:
    // Lets go of the objects bound to the submenus of `menu`, recursively.
    static void ReleaseSubMenuObjects(HMENU menu);

    bool m_bOwned = false;
};

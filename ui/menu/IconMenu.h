#pragma once
// A menu whose popup items are owner-drawn with an image cell on their left, the
// item text, a right-aligned shortcut column, check and radio marks and separator
// lines, in the classic or the flat look (chosen from the platform, see
// MenuPlatform). Item images come from one process-wide image list keyed by command
// id (SharedMenuImages), filled from tool bar bitmap resources. A menu is built
// from an ordinary menu template: every popup becomes an IconMenu of its own, owned
// by its parent; the top level stays a plain menu bar.
//
// The window that shows a popup of it must pass WM_MEASUREITEM for registered menu
// handles to MeasureItem and answer WM_MENUCHAR of registered menus with
// HandleMenuChar; WM_DRAWITEM reaches DrawItem through the framework's owner-draw
// routing. User-interface thread only. Never copied.
#include <memory>
#include <vector>

#include "framework/CImageList.h"
#include "framework/CMenu.h"
#include "framework/CString.h"
#include "ui/menu/IconMenuItem.h"

class IconMenu : public CMenu {
    DECLARE_DYNAMIC(IconMenu)

public:
    static constexpr int kDefaultIconX = 16;
    static constexpr int kDefaultIconY = 15;

    IconMenu();
    ~IconMenu() override;

    void DrawItem(DRAWITEMSTRUCT* item) override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;

    // Builds the whole tree from menu template `id` / `name`, searched in the
    // framework's resource module, then in the executable. FALSE, leaving the menu as
    // it was, when the template is missing; FALSE with an empty menu when no menu
    // could be created.
    virtual BOOL LoadTemplate(UINT id);
    virtual BOOL LoadTemplate(const char* name);
    // Releases the records, the popups this menu owns and their registrations, then
    // destroys the menu. The result of CMenu::DestroyMenu (FALSE without a menu).
    virtual BOOL DestroyTree();

    // Appends an owner-drawn item. Command 0 makes a separator (of the flags only
    // MF_BYPOSITION stays). For MF_POPUP, `id` is the popup's handle, which is
    // registered. With `toolbarId` >= 0 the item's image is the tool bar's image of
    // `id` (image 0 when the command is not on that tool bar); otherwise the shared
    // image already stored for `id`, if any. The result of AppendMenu.
    BOOL AppendIconItem(const wchar_t* text, UINT flags, UINT id, int toolbarId = -1);
    // A new record of `text`, `flags` and `id`, set on the item at `pos`
    // (ModifyMenu; the record is its data when `flags` has MF_OWNERDRAW). The caller
    // puts the record into the menu's records.
    std::unique_ptr<IconMenuItem> ReplaceItemRecord(UINT pos, UINT flags, UINT id, CString text);
    // Rebuilds the records from the items the menu really holds.
    void SyncRecords();
    // Text of an item: by position with MF_BYPOSITION, else by command anywhere in
    // the tree.
    BOOL GetItemText(UINT item, CString& text, UINT flags);
    // The menu of the tree (this or a descendant) that holds command `id`, and its
    // position; null and -1 when none does.
    IconMenu* FindCommand(UINT id, int& pos);

    // The answer to WM_MENUCHAR for `menu`: the position of the first item whose text
    // holds "&" and the key (case-blind) with MNC_EXECUTE, else 0.
    static LRESULT HandleMenuChar(UINT ch, UINT flags, CMenu* menu);
    static BOOL IsRegisteredMenu(CMenu* menu);
    static BOOL IsRegisteredMenu(HMENU menu);

    int GetRecordCount() const { return static_cast<int>(m_items.size()); }
    // Record `pos`, or null.
    const IconMenuItem* GetRecord(int pos) const;
    const std::vector<HMENU>& GetSubMenuHandles() const { return m_subMenus; }
    BOOL IsLoaded() const { return m_bLoaded; }
    int GetIconX() const { return m_nIconX; }
    int GetIconY() const { return m_nIconY; }

protected:
    // The image number of command `id` on tool bar `toolbarId` (kept when the
    // command is not there). TRUE when the command is on the tool bar.
    BOOL FindToolbarImage(UINT id, UINT toolbarId, int& image);
    // Cuts bitmap `bitmapId` into `list` (16-colour bitmaps with the system colours
    // mapped), the button face transparent. TRUE when images were added.
    BOOL AddBitmapToList(CImageList& list, UINT bitmapId);
    // Pads the label of every item with a shortcut so that all shortcuts line up.
    void AlignShortcutColumn();
    // Items in front of this menu's own, for a loaded menu bar; 0 otherwise.
    int ForeignPrefixCount();
    // Sets the bar's popups back to plain ones after an append.
    void RestoreBarPopups();

private:
    // The first record without a sync mark that holds `id`, or null.
    IconMenuItem* FindUnmarked(UINT id) const;
    static std::vector<HMENU>& Registry();
    static void Unregister(HMENU menu);

    std::vector<std::unique_ptr<IconMenuItem>> m_items;  // entry i: the item at position i
    std::vector<HMENU> m_subMenus;                       // every appended popup, registered
    std::vector<std::unique_ptr<IconMenu>> m_popups;     // the popups a template made here
    int m_nIconX = kDefaultIconX;
    int m_nIconY = kDefaultIconY;
    BOOL m_bLoaded = FALSE;
};

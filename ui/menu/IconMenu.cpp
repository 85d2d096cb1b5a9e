#include "ui/menu/IconMenu.h"

#include <algorithm>

#include "framework/CClientDC.h"
#include "framework/CFont.h"
#include "framework/CToolBar.h"
#include "framework/CWinApp.h"
#include "framework/SysColorBitmap.h"
#include "ui/menu/ClassicMenuPainter.h"
#include "ui/menu/FlatMenuPainter.h"
#include "ui/menu/MenuPaintItem.h"
#include "ui/menu/MenuPlatform.h"
#include "ui/menu/MenuTemplateReader.h"
#include "ui/menu/SharedMenuImages.h"

IMPLEMENT_DYNAMIC(IconMenu, CMenu)

namespace {

constexpr UINT kListFlags = ILC_COLORDDB | ILC_MASK;  // 0xFF
constexpr int kListInitial = 1;
constexpr int kListGrow = 1;
constexpr int kClassicMargin = 4;
constexpr int kFlatMargin = 7;
constexpr int kFlatTextExtra = 8;
constexpr UINT kBarPopup = MF_BYPOSITION | MF_POPUP;    // 0x410
constexpr UINT kBarString = MF_BYPOSITION | MF_STRING;  // 0x400
// Padding the labels of a level never needs more spaces than this.
constexpr int kMaxPadding = 256;

// Item ids carry menu handles as 32-bit values; a handle is their sign extension.
HMENU MenuFromId(UINT id) {
    return static_cast<HMENU>(LongToHandle(static_cast<LONG>(id)));
}

UINT IdFromMenu(HMENU menu) {
    return static_cast<UINT>(HandleToUlong(menu));
}

IconMenu* AsIconMenu(CMenu* menu) {
    return menu != nullptr && menu->IsKindOf(RUNTIME_CLASS(IconMenu)) ? static_cast<IconMenu*>(menu)
                                                                      : nullptr;
}

// The text of the item at `pos`, as Windows holds it.
CString ItemString(const CMenu& menu, int pos) {
    CString text;
    menu.GetMenuString(static_cast<UINT>(pos), text, MF_BYPOSITION);
    return text;
}

// Finds resource `name` of `type` in the framework's resource module, then in the
// executable.
HRSRC FindInModules(const char* name, const char* type, HINSTANCE& module) {
    module = AfxFindResourceHandle(name, type);
    HRSRC found = ::FindResourceA(module, name, type);
    if (found == nullptr) {
        module = ::GetModuleHandleA(nullptr);
        found = ::FindResourceA(module, name, type);
    }
    return found;
}

}  // namespace

IconMenu::IconMenu() = default;

IconMenu::~IconMenu() {
    DestroyTree();
}

std::vector<HMENU>& IconMenu::Registry() {
    static std::vector<HMENU> registry;
    return registry;
}

void IconMenu::Unregister(HMENU menu) {
    std::erase(Registry(), menu);
}

BOOL IconMenu::IsRegisteredMenu(CMenu* menu) {
    return menu != nullptr && IsRegisteredMenu(menu->m_hMenu);
}

BOOL IconMenu::IsRegisteredMenu(HMENU menu) {
    return menu != nullptr &&
           std::find(Registry().begin(), Registry().end(), menu) != Registry().end();
}

const IconMenuItem* IconMenu::GetRecord(int pos) const {
    return pos >= 0 && pos < GetRecordCount() ? m_items[static_cast<size_t>(pos)].get() : nullptr;
}

BOOL IconMenu::LoadTemplate(UINT id) {
    return LoadTemplate(MAKEINTRESOURCEA(id));
}

BOOL IconMenu::LoadTemplate(const char* name) {
    HINSTANCE module = nullptr;
    HRSRC found = FindInModules(name, RT_MENU, module);
    HGLOBAL global = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const void* data = global != nullptr ? ::LockResource(global) : nullptr;
    if (data == nullptr) {
        return FALSE;
    }
    const size_t size = ::SizeofResource(module, found);
    DestroyTree();
    HMENU bar = ::CreateMenu();
    if (bar == nullptr || !Attach(bar)) {
        if (bar != nullptr) {
            ::DestroyMenu(bar);
        }
        return FALSE;
    }

    struct Level {
        IconMenu* menu;
        bool ends;
    };
    std::vector<Level> stack{{this, false}};
    MenuTemplateReader reader(data, size);
    MenuTemplateReader::Item item;
    while (!stack.empty() && reader.Next(item)) {
        const bool end = (item.flags & MF_END) != 0;
        const UINT flags = item.flags & ~static_cast<UINT>(MF_END);
        if (flags & MF_POPUP) {
            if (end) {
                stack.back().ends = true;
            }
            auto popup = std::make_unique<IconMenu>();
            HMENU handle = ::CreatePopupMenu();
            if (handle == nullptr || !popup->Attach(handle)) {
                if (handle != nullptr) {
                    ::DestroyMenu(handle);
                }
                break;
            }
            IconMenu* parent = stack.back().menu;
            parent->AppendIconItem(item.text.c_str(), flags, IdFromMenu(handle));
            stack.push_back({popup.get(), false});
            parent->m_popups.push_back(std::move(popup));
            continue;
        }
        stack.back().menu->AppendIconItem(item.text.c_str(), flags, item.id);
        if (end) {
            stack.back().ends = true;
        }
        while (!stack.empty() && stack.back().ends) {
            stack.back().menu->AlignShortcutColumn();
            stack.pop_back();
        }
    }
    // A template that ends before closing all its levels closes them here.
    while (!stack.empty()) {
        stack.back().menu->AlignShortcutColumn();
        stack.pop_back();
    }

    // The top level is a plain menu bar that the system draws.
    for (int pos = 0; pos < GetRecordCount(); ++pos) {
        IconMenuItem& record = *m_items[static_cast<size_t>(pos)];
        const CString text = record.GetTextAnsi();
        if (record.m_nFlags & MF_POPUP) {
            ::ModifyMenuA(m_hMenu, static_cast<UINT>(pos), kBarPopup,
                          reinterpret_cast<UINT_PTR>(MenuFromId(record.m_nCommandId)), text);
            record.m_nFlags = kBarPopup;
        } else {
            ::ModifyMenuA(m_hMenu, static_cast<UINT>(pos), kBarString, record.m_nCommandId, text);
            record.m_nFlags = kBarString;
        }
    }
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL IconMenu::DestroyTree() {
    if (m_hMenu != nullptr) {
        Unregister(m_hMenu);
    }
    for (HMENU sub : m_subMenus) {
        Unregister(sub);
    }
    m_subMenus.clear();
    // The last made goes first, as a tree is taken down from its leaves.
    while (!m_popups.empty()) {
        m_popups.pop_back();
    }
    m_items.clear();
    return CMenu::DestroyMenu();
}

BOOL IconMenu::AppendIconItem(const wchar_t* text, UINT flags, UINT id, int toolbarId) {
    if (id == 0) {
        flags = MF_SEPARATOR | MF_OWNERDRAW | (flags & MF_BYPOSITION);
    } else {
        flags |= MF_OWNERDRAW;
    }
    if (flags & MF_POPUP) {
        Registry().push_back(MenuFromId(id));
        m_subMenus.push_back(MenuFromId(id));
    }
    auto record = std::make_unique<IconMenuItem>();
    record->SetText(text);
    if (toolbarId < 0) {
        record->m_nSharedImage = SharedMenuImages::Find(id);
    } else {
        int image = 0;
        FindToolbarImage(id, static_cast<UINT>(toolbarId), image);
        CImageList scratch;
        if (scratch.Create(m_nIconX, m_nIconY, kListFlags, kListInitial, kListGrow) &&
            AddBitmapToList(scratch, static_cast<UINT>(toolbarId))) {
            record->m_nSharedImage = SharedMenuImages::Add(scratch, image, id, m_nIconX, m_nIconY);
        }
    }
    record->m_nCommandId = id;
    record->m_nFlags = flags;
    const IconMenuItem* data = record.get();
    m_items.push_back(std::move(record));
    const UINT_PTR item =
        (flags & MF_POPUP) ? reinterpret_cast<UINT_PTR>(MenuFromId(id)) : static_cast<UINT_PTR>(id);
    const BOOL appended = AppendMenu(flags, item, static_cast<const void*>(data));
    if (m_bLoaded) {
        RestoreBarPopups();
    }
    return appended;
}

std::unique_ptr<IconMenuItem> IconMenu::ReplaceItemRecord(UINT pos, UINT flags, UINT id,
                                                          CString text) {
    auto record = std::make_unique<IconMenuItem>();
    record->SetTextAnsi(text);
    record->m_nFlags = flags;
    record->m_nCommandId = id;
    const UINT_PTR item =
        (flags & MF_POPUP) ? reinterpret_cast<UINT_PTR>(MenuFromId(id)) : static_cast<UINT_PTR>(id);
    ModifyMenu(pos, flags, item,
               (flags & MF_OWNERDRAW) ? static_cast<const void*>(record.get()) : nullptr);
    return record;
}

IconMenuItem* IconMenu::FindUnmarked(UINT id) const {
    for (const auto& record : m_items) {
        if (!record->m_nSyncMark && record->m_nCommandId == id) {
            return record.get();
        }
    }
    return nullptr;
}

void IconMenu::SyncRecords() {
    for (const auto& record : m_items) {
        record->m_nSyncMark = 0;
    }
    std::vector<IconMenuItem*> order;
    std::vector<std::unique_ptr<IconMenuItem>> made;
    for (int pos = 0; pos < GetMenuItemCount(); ++pos) {
        const UINT p = static_cast<UINT>(pos);
        const UINT state = GetMenuState(p, MF_BYPOSITION);
        IconMenuItem* record = nullptr;
        if (state & MF_POPUP) {
            const UINT id = IdFromMenu(GetSubMenuHandle(pos));
            record = FindUnmarked(id);
            const CString text = ItemString(*this, pos);
            if (record == nullptr) {
                made.push_back(ReplaceItemRecord(
                    p, (state & 0xEF) | MF_POPUP | MF_OWNERDRAW | MF_BYPOSITION, id, text));
                record = made.back().get();
            } else if (!text.IsEmpty()) {
                record->SetTextAnsi(text);
            }
        } else if (state & MF_SEPARATOR) {
            record = FindUnmarked(0);
            if (record == nullptr) {
                made.push_back(ReplaceItemRecord(
                    p, state | MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION, 0, ""));
                record = made.back().get();
            } else {
                ModifyMenu(p, record->m_nFlags | MF_BYPOSITION, 0,
                           static_cast<const void*>(record));
            }
        } else {
            const UINT id = GetMenuItemID(pos);
            const UINT flags = state | MF_OWNERDRAW | MF_BYPOSITION;
            const CString text = ItemString(*this, pos);
            record = FindUnmarked(id);
            if (record == nullptr) {
                made.push_back(ReplaceItemRecord(p, flags, id, text));
                record = made.back().get();
            } else {
                record->m_nFlags = flags;
                if (!text.IsEmpty()) {
                    record->SetTextAnsi(text);
                }
                ModifyMenu(p, flags, id, static_cast<const void*>(record));
            }
        }
        record->m_nSyncMark = 1;
        order.push_back(record);
    }
    // The records in position order; those no item uses go.
    std::vector<std::unique_ptr<IconMenuItem>> synced;
    for (IconMenuItem* record : order) {
        for (auto* pool : {&m_items, &made}) {
            auto it = std::find_if(pool->begin(), pool->end(),
                                   [record](const auto& owned) { return owned.get() == record; });
            if (it != pool->end()) {
                synced.push_back(std::move(*it));
                pool->erase(it);
                break;
            }
        }
    }
    m_items = std::move(synced);
}

BOOL IconMenu::GetItemText(UINT item, CString& text, UINT flags) {
    if ((flags & MF_BYPOSITION) == 0) {
        int pos = -1;
        IconMenu* holder = FindCommand(item, pos);
        return holder != nullptr ? holder->GetItemText(static_cast<UINT>(pos), text, MF_BYPOSITION)
                                 : FALSE;
    }
    const IconMenuItem* record = GetRecord(static_cast<int>(item));
    if (record == nullptr) {
        return FALSE;
    }
    text = record->GetTextAnsi();
    return TRUE;
}

IconMenu* IconMenu::FindCommand(UINT id, int& pos) {
    for (int p = 0; p < GetMenuItemCount(); ++p) {
        HMENU sub = GetSubMenuHandle(p);
        if (sub != nullptr) {
            if (IconMenu* popup = AsIconMenu(CMenu::FromHandlePermanent(sub))) {
                if (IconMenu* holder = popup->FindCommand(id, pos)) {
                    return holder;
                }
            }
        } else if (GetMenuItemID(p) == id) {
            pos = p;
            return this;
        }
    }
    pos = -1;
    return nullptr;
}

LRESULT IconMenu::HandleMenuChar(UINT ch, UINT flags, CMenu* menu) {
    IconMenu* icons = AsIconMenu(menu);
    if (icons == nullptr || (flags & MF_POPUP) == 0) {
        return 0;
    }
    CString key = "&";
    key += static_cast<char>(ch);
    key.MakeLower();
    if (icons->GetMenuItemCount() != icons->GetRecordCount()) {
        icons->SyncRecords();
    }
    for (int pos = 0; pos < icons->GetMenuItemCount(); ++pos) {
        CString text;
        if (icons->GetItemText(static_cast<UINT>(pos), text, MF_BYPOSITION)) {
            text.MakeLower();
            if (text.Find(key) >= 0) {
                return MAKELRESULT(pos, MNC_EXECUTE);
            }
        }
    }
    return 0;
}

void IconMenu::MeasureItem(MEASUREITEMSTRUCT* item) {
    const auto* record = reinterpret_cast<const IconMenuItem*>(item->itemData);
    if (record == nullptr) {
        return;
    }
    const bool flat = MenuPlatform::IsThemedXp();
    const int margin = flat ? kFlatMargin : kClassicMargin;
    if (record->m_nFlags & MF_SEPARATOR) {
        item->itemWidth = 0;
        item->itemHeight = static_cast<UINT>(
            std::max(::GetSystemMetrics(SM_CYMENU) >> 1, (m_nIconY + margin) / 2));
        return;
    }
    CFont font;
    MenuPlatform::CreateMenuFont(font);
    SIZE size{};
    {
        CClientDC dc(MenuPlatform::HostWindow());
        if (MenuPlatform::HasMenuFontAndEdges()) {
            dc.SelectObject(&font);
        }
        const wchar_t* text = record->HasText() ? record->GetText() : L"";
        size = dc.GetTextExtentW(text, static_cast<int>(std::wcslen(text)));
    }
    const int cells = flat ? m_nIconX + margin + kFlatTextExtra : 2 * m_nIconX + 1;
    item->itemWidth = static_cast<UINT>(size.cx + cells);
    item->itemHeight =
        static_cast<UINT>(std::max(::GetSystemMetrics(SM_CYMENU), m_nIconY + margin));
}

void IconMenu::DrawItem(DRAWITEMSTRUCT* item) {
    const auto* record = reinterpret_cast<const IconMenuItem*>(item->itemData);
    if (record == nullptr) {
        return;
    }
    CDC dc;
    dc.Attach(item->hDC);
    const MenuPaintItem paint{&dc,          CRect(item->rcItem),
                              record,       item->itemState,
                              item->itemID, reinterpret_cast<HMENU>(item->hwndItem),
                              m_nIconX,     m_nIconY};
    if (dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) {
        ClassicMenuPainter::Paint(paint);
    } else if (MenuPlatform::IsThemedXp()) {
        FlatMenuPainter::Paint(paint);
    } else {
        ClassicMenuPainter::Paint(paint);
    }
    dc.Detach();
}

BOOL IconMenu::FindToolbarImage(UINT id, UINT toolbarId, int& image) {
    CToolBar bar;
    if (!bar.Create(MenuPlatform::HostWindow(), WS_CHILD | WS_VISIBLE | CBRS_TOP,
                    AFX_IDW_TOOLBAR) ||
        !bar.LoadToolBar(toolbarId)) {
        return FALSE;
    }
    const int index = bar.CommandToIndex(id);
    if (index < 0) {
        return FALSE;
    }
    UINT command = 0;
    UINT style = 0;
    int number = 0;
    bar.GetButtonInfo(index, command, style, number);
    if (number > 0) {
        image = number;
    }
    return TRUE;
}

BOOL IconMenu::AddBitmapToList(CImageList& list, UINT bitmapId) {
    const char* name = MAKEINTRESOURCEA(bitmapId);
    HINSTANCE module = nullptr;
    HRSRC found = FindInModules(name, RT_BITMAP, module);
    if (found == nullptr) {
        return FALSE;
    }
    constexpr int kSysColorTable = 16;
    HBITMAP bitmap = AfxBitmapResourceColorCount(module, found) == kSysColorTable
                         ? AfxLoadSysColorBitmap(module, found)
                         : ::LoadBitmapA(module, name);
    if (bitmap == nullptr) {
        return FALSE;
    }
    const int added = list.Add(bitmap, ::GetSysColor(COLOR_BTNFACE));
    ::DeleteObject(bitmap);
    return added >= 0;
}

void IconMenu::AlignShortcutColumn() {
    CFont font;  // declared before the DC, which gives it back when it goes
    MenuPlatform::CreateMenuFont(font);
    CClientDC dc(MenuPlatform::HostWindow());
    dc.SelectObject(&font);
    auto width = [&dc](const CString& text) {
        return static_cast<int>(dc.GetTextExtent(text, text.GetLength()).cx);
    };
    int widest = 0;
    for (const auto& record : m_items) {
        const CString text = record->GetTextAnsi();
        const int tab = text.Find('\t');
        widest = std::max(widest, width((tab >= 0 ? text.Left(tab) : text) + " "));
    }
    for (const auto& record : m_items) {
        const CString text = record->GetTextAnsi();
        const int tab = text.Find('\t');
        if (tab < 0) {
            continue;
        }
        CString label = text.Left(tab);
        for (int spaces = 0; width(label) < widest && spaces < kMaxPadding; ++spaces) {
            label += ' ';
        }
        record->SetTextAnsi(label + text.Mid(tab));
    }
}

int IconMenu::ForeignPrefixCount() {
    if (!m_bLoaded) {
        return 0;
    }
    for (int pos = 0; pos < GetMenuItemCount(); ++pos) {
        const CString text = ItemString(*this, pos);
        if (text.IsEmpty()) {
            continue;
        }
        for (int i = 0; i < GetRecordCount(); ++i) {
            if (m_items[static_cast<size_t>(i)]->GetTextAnsi() == text) {
                return pos >= i ? pos - i : 0;
            }
        }
    }
    return 0;
}

void IconMenu::RestoreBarPopups() {
    const int prefix = ForeignPrefixCount();
    for (int i = 0; i < GetRecordCount() && prefix + i < GetMenuItemCount(); ++i) {
        IconMenuItem& record = *m_items[static_cast<size_t>(i)];
        // Only a popup can be set back as one: a command id is no menu handle.
        HMENU popup = MenuFromId(record.m_nCommandId);
        if ((record.m_nFlags & MF_POPUP) == 0 || !::IsMenu(popup)) {
            continue;
        }
        ::ModifyMenuA(m_hMenu, static_cast<UINT>(prefix + i), kBarPopup,
                      reinterpret_cast<UINT_PTR>(popup), record.GetTextAnsi());
        record.m_nFlags = kBarPopup;
    }
}

#include "framework/CWnd.h"

#include <unordered_map>

#include "framework/CDC.h"
#include "framework/CMenu.h"
#include "framework/CWinApp.h"
#include "framework/UnexpectedFailure.h"

namespace {

// Handles of bound windows to their objects; user-interface thread only.
std::unordered_map<HWND, CWnd*>& WindowMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

constexpr UINT_PTR kSubclassId = 0x56454C51;  // one subclass of ours per window

bool IsCtlColor(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

CWnd* fw::PermanentWindow(HWND hwnd) {
    return CWnd::FromHandlePermanent(hwnd);
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd == nullptr) {
        return;
    }
    // The derived parts are gone: no message of the window may reach them now. An
    // owned window that is still here was left by its owner (see OwnedWindow).
    const bool owned = m_bOwnsWindow;
    HWND hwnd = UnsubclassWindow();
    if (owned) {
        ::OutputDebugStringA("A window outlived the whole of its owning object.\n");
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    auto it = WindowMap().find(hwnd);
    return it != WindowMap().end() ? it->second : nullptr;
}

BOOL CWnd::Bind(HWND hwnd) {
    if (m_hWnd != nullptr || hwnd == nullptr || FromHandlePermanent(hwnd) != nullptr) {
        return FALSE;
    }
    if (!::SetWindowSubclass(hwnd, &FrameworkSubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this))) {
        return FALSE;
    }
    m_hWnd = hwnd;
    WindowMap()[hwnd] = this;
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!Bind(hwnd)) {
        return FALSE;
    }
    PreSubclassWindow();
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd == nullptr) {
        return nullptr;
    }
    ::RemoveWindowSubclass(hwnd, &FrameworkSubclassProc, kSubclassId);
    WindowMap().erase(hwnd);
    m_hWnd = nullptr;
    m_bOwnsWindow = false;
    return hwnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    HWND hwnd = ::CreateWindowExA(
        exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, parent != nullptr ? parent->m_hWnd : nullptr,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
    if (hwnd == nullptr) {
        return FALSE;
    }
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    m_bOwnsWindow = true;
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    // WM_NCDESTROY lets go of the handle (DetachAfterDestroy).
    return ::DestroyWindow(m_hWnd);
}

void CWnd::DetachAfterDestroy() {
    UnsubclassWindow();
    PostNcDestroy();
}

LRESULT CALLBACK FrameworkSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR object) {
    try {
        CWnd* wnd = reinterpret_cast<CWnd*>(object);
        const MSG saved = wnd->m_current;
        wnd->m_current = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
        const LRESULT result = wnd->WindowProc(message, wParam, lParam);
        wnd->m_current = saved;
        if (message == WM_NCDESTROY && wnd->m_hWnd == hwnd) {
            wnd->DetachAfterDestroy();
        }
        return result;
    } catch (...) {
        fw::EndOnUnexpectedException("a window procedure");
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd != nullptr && wnd->PreTranslateMessage(msg)) {
            return TRUE;
        }
        if ((::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
    }
    return FALSE;
}

BOOL CWnd::ReflectToChild(HWND child, CWnd* parent, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT* result) {
    CWnd* object = FromHandlePermanent(child);
    if (object == nullptr || object == parent) {
        return FALSE;
    }
    return object->OnChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        return OnCommand(wParam, lParam, result);
    }
    if (message == WM_NOTIFY) {
        return OnNotify(wParam, lParam, result);
    }
    fw::MsgContext msg{message, wParam, lParam, 0};
    if (IsCtlColor(message)) {
        if (!DispatchToMap(fw::MsgKind::CtlColor, 0, 0, msg)) {
            CDC dc;
            dc.Attach(reinterpret_cast<HDC>(wParam));
            msg.result = reinterpret_cast<LRESULT>(
                OnCtlColor(&dc, FromHandlePermanent(reinterpret_cast<HWND>(lParam)),
                           message - WM_CTLCOLORMSGBOX));
        }
        *result = msg.result;
        return TRUE;
    }
    if (DispatchToMap(fw::MsgKind::Message, 0, 0, msg)) {
        *result = msg.result;
        return TRUE;
    }
    switch (message) {
        case WM_DRAWITEM:
            OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            *result = TRUE;
            return TRUE;
        case WM_MEASUREITEM:
            OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            *result = TRUE;
            return TRUE;
        case WM_COMPAREITEM:
            return ReflectToChild(reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem, this,
                                  message, wParam, lParam, result);
        case WM_DELETEITEM:
            return ReflectToChild(reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem, this,
                                  message, wParam, lParam, result);
        case WM_HSCROLL:
        case WM_VSCROLL:
            return ReflectToChild(reinterpret_cast<HWND>(lParam), this, message, wParam, lParam,
                                  result);
        default:
            return FALSE;
    }
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam != 0 &&
        ReflectToChild(reinterpret_cast<HWND>(lParam), this, WM_COMMAND, wParam, lParam, result)) {
        return TRUE;
    }
    *result = 0;
    if (OnCmdMsg(id, code)) {
        return TRUE;
    }
    return OnUnhandledCommand(id, code);
}

BOOL CWnd::OnUnhandledCommand(UINT id, UINT code) {
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, code);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (ReflectToChild(header->hwndFrom, this, WM_NOTIFY, wParam, lParam, result)) {
        return TRUE;
    }
    fw::MsgContext msg{WM_NOTIFY, wParam, lParam, 0};
    if (DispatchToMap(fw::MsgKind::Notify, static_cast<UINT>(header->idFrom), header->code, msg)) {
        *result = msg.result;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    fw::MsgContext msg{message, wParam, lParam, 0};
    bool took = false;
    if (message == WM_COMMAND) {
        took = DispatchToMap(fw::MsgKind::ReflectCommand, 0, HIWORD(wParam), msg);
    } else if (message == WM_NOTIFY) {
        took = DispatchToMap(fw::MsgKind::ReflectNotify, 0,
                             reinterpret_cast<const NMHDR*>(lParam)->code, msg);
    } else if (IsCtlColor(message)) {
        took = DispatchToMap(fw::MsgKind::ReflectCtlColor, 0, 0, msg);
    } else {
        took = DispatchToMap(fw::MsgKind::ReflectMessage, 0, 0, msg);
    }
    if (took) {
        *result = msg.result;
    }
    return took ? TRUE : FALSE;
}

HBRUSH CWnd::OnCtlColor(CDC* dc, CWnd* child, UINT kind) {
    LRESULT brush = 0;
    if (child != nullptr && child != this &&
        child->OnChildNotify(WM_CTLCOLORMSGBOX + kind, reinterpret_cast<WPARAM>(dc->GetSafeHdc()),
                             reinterpret_cast<LPARAM>(child->m_hWnd), &brush)) {
        return reinterpret_cast<HBRUSH>(brush);
    }
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, DRAWITEMSTRUCT* item) {
    if (item->CtlType == ODT_MENU) {
        CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(item->hwndItem));
        if (menu != nullptr) {
            menu->DrawItem(item);
            return;
        }
    } else {
        LRESULT ignored = 0;
        if (ReflectToChild(item->hwndItem, this, WM_DRAWITEM, m_current.wParam,
                           reinterpret_cast<LPARAM>(item), &ignored)) {
            return;
        }
    }
    Default();
}

void CWnd::OnMeasureItem(int, MEASUREITEMSTRUCT* item) {
    if (item->CtlType == ODT_MENU) {
        CMenu* menu = CMenu::FindItemHolder(item->itemID);
        if (menu != nullptr) {
            menu->MeasureItem(item);
            return;
        }
    } else {
        LRESULT ignored = 0;
        if (ReflectToChild(::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID)), this,
                           WM_MEASUREITEM, m_current.wParam, reinterpret_cast<LPARAM>(item),
                           &ignored)) {
            return;
        }
    }
    Default();
}

void CWnd::GetWindowText(CString& text) const {
    const int length = GetWindowTextLength();
    char* buffer = text.GetBuffer(length);
    const int got = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(got);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) {
        return FALSE;
    }
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return TRUE;
}

void CWnd::ScreenToClient(RECT* rect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

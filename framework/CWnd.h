#pragma once
// A window object. It is bound to one window handle, either by creating the
// window (CreateEx: the object owns the window) or by subclassing an existing one
// (SubclassWindow / SubclassDlgItem, as DDX_Control does: the object restores the
// window procedure when it goes and never destroys the window). An owned window
// is destroyed while the whole object lives: by DestroyWindow, or by declaring the
// object as OwnedWindow<Derived>; the base destructor could only destroy it
// without the derived classes' handlers. While bound, every message of the window
// goes through WindowProc: the message map first, then the framework's default
// routing, then the window's original procedure (DefWindowProc). The object is
// found from its handle through a permanent map (FromHandlePermanent). When the
// window is destroyed the object lets go of the handle by itself. Never copied.
//
// Routing of child notifications (reflection): WM_COMMAND and WM_NOTIFY from a
// child that has an object are offered to that child first (its ON_..._REFLECT
// entries); if it consumes them, the parent's map never sees them. WM_CTLCOLOR*,
// WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM and WM_DELETEITEM go to the parent's
// map first (ON_WM_CTLCOLOR, ON_MESSAGE); without an entry there, the child's
// object answers them (CtlColor reflection, CButton::DrawItem, ...), and menu items
// (ODT_MENU) go to the CMenu object of their menu.
#include "framework/CCmdTarget.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/FrameworkWin.h"

class CDC;
class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to `hwnd`, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creates a window owned by this object and binds it (messages sent during
    // creation reach the window class's procedure, not this object).
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id);
    // Binds an existing window (not owned) and routes its messages through this object.
    BOOL SubclassWindow(HWND hwnd);
    // Gives the window back its own procedure; returns the handle.
    HWND UnsubclassWindow();
    BOOL DestroyWindow();
    // Whether this object created the window it is bound to (and so must destroy it).
    bool OwnsWindow() const { return m_bOwnsWindow; }

    // Called once the window is bound by SubclassWindow, before its next message.
    virtual void PreSubclassWindow() {}
    // Offered every queued message for this window or its children during the
    // application's and modal dialogs' message loops; TRUE eats the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Runs one message: the map, the framework's routing, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's original procedure.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A reflected notification (see the file comment); TRUE when this object consumed
    // it, with its answer in `result`.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // After the window is gone and the object has let go of the handle.
    virtual void PostNcDestroy() {}

    // Default processing of the message now being handled.
    LRESULT Default();
    // Offers `msg` to PreTranslateMessage of the objects of its window and of that
    // window's parents up to the top-level window; TRUE when one ate it.
    static BOOL WalkPreTranslateTree(MSG* msg);

    // Standard parent-side handlers that handlers in maps may call as the base version.
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT kind);
    void OnDrawItem(int controlId, DRAWITEMSTRUCT* item);
    void OnMeasureItem(int controlId, MEASUREITEMSTRUCT* item);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }

    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    // The next (or previous) tab stop after `control` among this window's children.
    HWND GetNextDlgTabItem(HWND control, BOOL previous = FALSE) const {
        return ::GetNextDlgTabItem(m_hWnd, control, previous);
    }

    // The parent's object, or null when the parent has none (or there is no parent).
    CWnd* GetParent() const { return FromHandlePermanent(::GetParent(m_hWnd)); }
    HWND GetParentHwnd() const { return ::GetParent(m_hWnd); }

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    // Removes then adds style bits; with `swpFlags` the frame is refreshed by SetWindowPos.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);

    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    // Returns the window that had the focus.
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    static HWND GetFocus() { return ::GetFocus(); }

    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) {
        ::InvalidateRect(m_hWnd, rect, erase);
    }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const { ::ClientToScreen(m_hWnd, point); }

    HICON SetIcon(HICON icon, BOOL big) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    // The window menu (not owned: it belongs to the window).
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }

protected:
    DECLARE_MESSAGE_MAP()

    // The routing behind WindowProc; TRUE when something answered, with `result`.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // What is left for a command nobody in this window handled: the application's map.
    virtual BOOL OnUnhandledCommand(UINT id, UINT code);

private:
    friend LRESULT CALLBACK FrameworkSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    friend class CDialog;

    // Releases the handle after WM_NCDESTROY.
    void DetachAfterDestroy();

    // The child object (if any) that a child notification comes from.
    // Binds `hwnd` and installs the framework's subclass procedure.
    BOOL Bind(HWND hwnd);
    // Offers a child-notification message to the object of `child`.
    static BOOL ReflectToChild(HWND child, CWnd* parent, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT* result);

    bool m_bOwnsWindow = false;
    MSG m_current{};  // the message being handled, for Default()
};

// The framework's subclass procedure of every bound window (SetWindowSubclass).
LRESULT CALLBACK FrameworkSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR object);

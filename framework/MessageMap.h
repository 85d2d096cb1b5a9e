#pragma once
// Message maps: a table per class that sends (message, control id, notification
// code) to a member handler. A class declares its table with DECLARE_MESSAGE_MAP()
// and defines it with BEGIN_MESSAGE_MAP(Class, Base) ... END_MESSAGE_MAP(); the
// lookup walks the table of the most derived class first, then its bases.
//
// Handler shapes (the entry macros check them at compile time):
//   ON_COMMAND(id, code, &C::F)          void F()                 WM_COMMAND from control id
//   ON_COMMAND_RANGE(first, last, code, &C::F)  void F(UINT id)
//   ON_NOTIFY(code, id, &C::F)           void F(NMHDR*, LRESULT*) WM_NOTIFY, result preset to 0
//   ON_MESSAGE(msg, &C::F)               LRESULT F(WPARAM, LPARAM) or void F()
//   ON_WM_CTLCOLOR(&C::F)                HBRUSH F(CDC*, CWnd*, UINT kind), every WM_CTLCOLOR*
// Reflected to the control that sent them (declared in the control's own map):
//   ON_CONTROL_REFLECT(code, &C::F)      void F()   consumes the notification
//   ON_CONTROL_REFLECT_EX(code, &C::F)   BOOL F()   TRUE consumes, FALSE passes it on to the parent
//   ON_NOTIFY_REFLECT(code, &C::F)       void F(NMHDR*, LRESULT*) consumes
//   ON_NOTIFY_REFLECT_EX(code, &C::F)    BOOL F(NMHDR*, LRESULT*) TRUE consumes
//   ON_CTLCOLOR_REFLECT(&C::F)           HBRUSH F(CDC*, UINT kind); a null brush lets the
//                                        parent's normal processing answer
//   ON_MESSAGE_REFLECT(msg, &C::F)       LRESULT F(WPARAM, LPARAM) for other reflected messages
#include <cstddef>
#include <iterator>
#include <span>
#include <type_traits>

#include "framework/CDC.h"
#include "framework/FrameworkWin.h"

class CCmdTarget;
class CWnd;
class CDC;

namespace fw {

enum class MsgKind : unsigned char {
    Message,
    Command,
    Notify,
    CtlColor,
    ReflectMessage,
    ReflectCommand,
    ReflectNotify,
    ReflectCtlColor,
};

// One message in flight; a handler that answers fills `result`.
struct MsgContext {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

// Returns true when the entry's handler took the message (for the _EX reflections:
// when it consumed it).
using MsgThunk = bool (*)(CCmdTarget* target, MsgContext& msg);

struct MessageEntry {
    MsgKind kind;
    UINT message;  // window message (Message, ReflectMessage)
    UINT code;     // notification code (Command, Notify and their reflections)
    UINT idFirst;  // control id range (Command, Notify)
    UINT idLast;
    MsgThunk thunk;
};

struct MessageMap {
    const MessageMap* (*base)();  // null for the root
    std::span<const MessageEntry> entries;
};

// Finds the first entry of `kind` that matches, searching `map` and then its bases.
const MessageEntry* FindEntry(const MessageMap* map, MsgKind kind, UINT message, UINT id,
                              UINT code);

// Reads a window handle's permanent object (defined with CWnd).
CWnd* PermanentWindow(HWND hwnd);

template <class T>
struct MemberFn;
template <class C, class R, class... A>
struct MemberFn<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
};

template <auto F>
using ClassOf = typename MemberFn<decltype(F)>::Class;

template <auto F>
ClassOf<F>* Self(CCmdTarget* target) {
    return static_cast<ClassOf<F>*>(target);
}

template <auto F>
bool CommandThunk(CCmdTarget* t, MsgContext& m) {
    (Self<F>(t)->*F)();
    m.result = 0;
    return true;
}

template <auto F>
bool CommandRangeThunk(CCmdTarget* t, MsgContext& m) {
    (Self<F>(t)->*F)(static_cast<UINT>(LOWORD(m.wParam)));
    m.result = 0;
    return true;
}

template <auto F>
bool NotifyThunk(CCmdTarget* t, MsgContext& m) {
    m.result = 0;
    (Self<F>(t)->*F)(reinterpret_cast<NMHDR*>(m.lParam), &m.result);
    return true;
}

template <auto F>
bool MessageThunk(CCmdTarget* t, MsgContext& m) {
    if constexpr (std::is_invocable_v<decltype(F), ClassOf<F>*, WPARAM, LPARAM>) {
        m.result = (Self<F>(t)->*F)(m.wParam, m.lParam);
    } else {
        (Self<F>(t)->*F)();
        m.result = 0;
    }
    return true;
}

template <auto F>
bool CtlColorThunk(CCmdTarget* t, MsgContext& m) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(m.wParam));
    const UINT kind = m.message - WM_CTLCOLORMSGBOX;
    HBRUSH brush = (Self<F>(t)->*F)(&dc, PermanentWindow(reinterpret_cast<HWND>(m.lParam)), kind);
    m.result = reinterpret_cast<LRESULT>(brush);
    return true;
}

template <auto F>
bool ReflectCommandExThunk(CCmdTarget* t, MsgContext& m) {
    m.result = 0;
    return (Self<F>(t)->*F)() != FALSE;
}

template <auto F>
bool ReflectNotifyExThunk(CCmdTarget* t, MsgContext& m) {
    m.result = 0;
    return (Self<F>(t)->*F)(reinterpret_cast<NMHDR*>(m.lParam), &m.result) != FALSE;
}

template <auto F>
bool ReflectCtlColorThunk(CCmdTarget* t, MsgContext& m) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(m.wParam));
    HBRUSH brush = (Self<F>(t)->*F)(&dc, m.message - WM_CTLCOLORMSGBOX);
    m.result = reinterpret_cast<LRESULT>(brush);
    return brush != nullptr;
}

// Entry makers behind the ON_... macros.
template <auto F>
constexpr MessageEntry Command(UINT idFirst, UINT idLast, UINT code) {
    return {MsgKind::Command, WM_COMMAND, code, idFirst, idLast, &CommandThunk<F>};
}
template <auto F>
constexpr MessageEntry CommandRange(UINT idFirst, UINT idLast, UINT code) {
    return {MsgKind::Command, WM_COMMAND, code, idFirst, idLast, &CommandRangeThunk<F>};
}
template <auto F>
constexpr MessageEntry Notify(UINT id, UINT code) {
    return {MsgKind::Notify, WM_NOTIFY, code, id, id, &NotifyThunk<F>};
}
template <auto F>
constexpr MessageEntry Message(UINT message) {
    return {MsgKind::Message, message, 0, 0, 0, &MessageThunk<F>};
}
template <auto F>
constexpr MessageEntry CtlColor() {
    return {MsgKind::CtlColor, 0, 0, 0, 0, &CtlColorThunk<F>};
}
template <auto F>
constexpr MessageEntry ReflectCommand(UINT code) {
    return {MsgKind::ReflectCommand, WM_COMMAND, code, 0, 0, &CommandThunk<F>};
}
template <auto F>
constexpr MessageEntry ReflectCommandEx(UINT code) {
    return {MsgKind::ReflectCommand, WM_COMMAND, code, 0, 0, &ReflectCommandExThunk<F>};
}
template <auto F>
constexpr MessageEntry ReflectNotify(UINT code) {
    return {MsgKind::ReflectNotify, WM_NOTIFY, code, 0, 0, &NotifyThunk<F>};
}
template <auto F>
constexpr MessageEntry ReflectNotifyEx(UINT code) {
    return {MsgKind::ReflectNotify, WM_NOTIFY, code, 0, 0, &ReflectNotifyExThunk<F>};
}
template <auto F>
constexpr MessageEntry ReflectCtlColor() {
    return {MsgKind::ReflectCtlColor, 0, 0, 0, 0, &ReflectCtlColorThunk<F>};
}
template <auto F>
constexpr MessageEntry ReflectMessage(UINT message) {
    return {MsgKind::ReflectMessage, message, 0, 0, 0, &MessageThunk<F>};
}
// Closes a table (lets every ON_... macro end in a comma); not part of the map.
constexpr MessageEntry EndOfMap() {
    return {MsgKind::Message, 0, 0, 0, 0, nullptr};
}

}  // namespace fw

#define DECLARE_MESSAGE_MAP()                           \
public:                                                 \
    static const ::fw::MessageMap* GetThisMessageMap(); \
                                                        \
protected:                                              \
    const ::fw::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                           \
    const ::fw::MessageMap* theClass::GetMessageMap() const {                            \
        return GetThisMessageMap();                                                      \
    }                                                                                    \
    const ::fw::MessageMap* theClass::GetThisMessageMap() {                              \
        static const ::fw::MessageMap* (*const kBase)() = &baseClass::GetThisMessageMap; \
        static constexpr ::fw::MessageEntry kEntries[] = {
#define END_MESSAGE_MAP()                                                                    \
    ::fw::EndOfMap()                                                                         \
    }                                                                                        \
    ;                                                                                        \
    static const ::fw::MessageMap kMap{kBase, std::span(kEntries, std::size(kEntries) - 1)}; \
    return &kMap;                                                                            \
    }

#define FW_UINT(x) static_cast<UINT>(x)
#define ON_COMMAND(id, code, handler) \
    ::fw::Command<handler>(FW_UINT(id), FW_UINT(id), FW_UINT(code)),
#define ON_COMMAND_RANGE(idFirst, idLast, code, handler) \
    ::fw::CommandRange<handler>(FW_UINT(idFirst), FW_UINT(idLast), FW_UINT(code)),
#define ON_NOTIFY(code, id, handler) ::fw::Notify<handler>(FW_UINT(id), FW_UINT(code)),
#define ON_MESSAGE(msg, handler) ::fw::Message<handler>(FW_UINT(msg)),
#define ON_WM_CTLCOLOR(handler) ::fw::CtlColor<handler>(),
#define ON_CONTROL_REFLECT(code, handler) ::fw::ReflectCommand<handler>(FW_UINT(code)),
#define ON_CONTROL_REFLECT_EX(code, handler) ::fw::ReflectCommandEx<handler>(FW_UINT(code)),
#define ON_NOTIFY_REFLECT(code, handler) ::fw::ReflectNotify<handler>(FW_UINT(code)),
#define ON_NOTIFY_REFLECT_EX(code, handler) ::fw::ReflectNotifyEx<handler>(FW_UINT(code)),
#define ON_CTLCOLOR_REFLECT(handler) ::fw::ReflectCtlColor<handler>(),
#define ON_MESSAGE_REFLECT(msg, handler) ::fw::ReflectMessage<handler>(FW_UINT(msg)),

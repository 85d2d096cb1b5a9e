#include "framework/CCmdTarget.h"

const fw::MessageMap* CCmdTarget::GetThisMessageMap() {
    static const fw::MessageMap kRoot{nullptr, {}};
    return &kRoot;
}

const fw::MessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::DispatchToMap(fw::MsgKind kind, UINT id, UINT code, fw::MsgContext& msg) {
    const fw::MessageEntry* entry = fw::FindEntry(GetMessageMap(), kind, msg.message, id, code);
    return entry != nullptr && entry->thunk(this, msg);
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    fw::MsgContext msg{WM_COMMAND, MAKEWPARAM(id, code), 0, 0};
    return DispatchToMap(fw::MsgKind::Command, id, code, msg) ? TRUE : FALSE;
}

#include "framework/MessageMap.h"

namespace fw {

namespace {

bool Matches(const MessageEntry& e, MsgKind kind, UINT message, UINT id, UINT code) {
    if (e.kind != kind) {
        return false;
    }
    switch (kind) {
        case MsgKind::Message:
        case MsgKind::ReflectMessage:
            return e.message == message;
        case MsgKind::Command:
        case MsgKind::Notify:
            return e.code == code && id >= e.idFirst && id <= e.idLast;
        case MsgKind::ReflectCommand:
        case MsgKind::ReflectNotify:
            return e.code == code;
        case MsgKind::CtlColor:
        case MsgKind::ReflectCtlColor:
            return true;
    }
    return false;
}

}  // namespace

const MessageEntry* FindEntry(const MessageMap* map, MsgKind kind, UINT message, UINT id,
                              UINT code) {
    while (map != nullptr) {
        for (const MessageEntry& e : map->entries) {
            if (Matches(e, kind, message, id, code)) {
                return &e;
            }
        }
        map = map->base != nullptr ? map->base() : nullptr;
    }
    return nullptr;
}

}  // namespace fw

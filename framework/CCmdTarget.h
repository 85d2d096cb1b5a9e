#pragma once
// Root of everything with a message map: windows and the application object.
#include "framework/MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // The root table: empty.
    static const fw::MessageMap* GetThisMessageMap();

    // Runs the map's handler for a command (WM_COMMAND id and notification code);
    // TRUE when one ran.
    virtual BOOL OnCmdMsg(UINT id, UINT code);

protected:
    virtual const fw::MessageMap* GetMessageMap() const;

    // Runs the first matching entry of this object's maps; true when its handler
    // took the message.
    bool DispatchToMap(fw::MsgKind kind, UINT id, UINT code, fw::MsgContext& msg);
};

#pragma once
// A tooltip control window owned by this object.
#include "framework/CWnd.h"

class CToolTipCtrl : public CWnd {
public:
    // Creates the tooltip window with `parent` as its owner; `style` is added to
    // WS_POPUP.
    BOOL Create(CWnd* parent, DWORD style = 0);
    void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(activate)); }
    int SetMaxTipWidth(int width) {
        return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width));
    }
    void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
};

#include "framework/CToolTipCtrl.h"

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, RECT{0, 0, 0, 0}, parent, 0);
}

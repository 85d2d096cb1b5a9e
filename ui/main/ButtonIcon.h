#pragma once
// A button's icon from the program's resources.
#include <windows.h>

#include "framework/CButton.h"

class ButtonIcon {
public:
    static void Set(CButton& button, UINT iconId);
};

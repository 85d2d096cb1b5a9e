#pragma once
// A static control.
#include "framework/CWnd.h"

class CStatic : public CWnd {};

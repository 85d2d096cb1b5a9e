#pragma once
// The Windows headers every framework header needs, with one set of options.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The common controls need the definitions of windows.h first.
#include <commctrl.h>

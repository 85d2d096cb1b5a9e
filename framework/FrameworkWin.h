#pragma once
// The Windows headers every framework header needs, with one set of options.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#pragma once
// Windows loads a library by name from the program's own folder, and for
// LoadLibrary from the current folder too, before System32: a box file saved
// there under a library's name would be loaded the next time. Every Windows
// program of the project loads libraries from System32 only (its own
// side-by-side assemblies, the common controls, still come through their
// manifest). The libraries it imports are covered by the DependentLoadFlags
// of its load configuration (DllSearchWin32.cpp, put in place after linking
// by tools/set-load-config.py); those loaded later by this call.

// Called first thing in main and WinMain. False when Windows refused it (a
// Windows 7 without its 2011 loader update): the program goes on, what it
// imports being covered all the same.
bool LoadDllsFromSystemOnly();

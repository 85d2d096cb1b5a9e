#pragma once
// Which Windows the icon menu runs on, and whether the flat look applies. The
// platform class is read once, at start-up; the classic-theme test once, on first
// use. Windows XP with its own themes (not the "Windows Classic" one) gets the flat
// look, every other system the classic look.
#include "framework/CFont.h"
#include "framework/FrameworkWin.h"

class MenuPlatform {
public:
    // The platform classes.
    enum Class : int {
        kOld9x = 0,    // 9x-family kernel before version 4
        kLaterNt = 1,  // every NT-family version after 5.1
        kWin95 = 2,    // other 9x-family versions
        kWin98 = 3,    // 9x 4.10
        kWinMe = 4,    // 9x 4.90
        kNt4 = 5,      // NT 4
        kWin2000 = 6,  // NT 5.0
        kWinXp = 7,    // NT 5.1
    };

    // The class of this process's system, computed once at start-up.
    static int PlatformClass();
    // The class for a GetVersion value and the extended version record.
    static int Classify(DWORD version, const OSVERSIONINFOA& info);

    // Whether the "Windows Classic" theme is the current one; looked up once.
    static BOOL IsClassicThemeActive();
    // Class 7 without the classic theme: the flat look.
    static bool IsThemedXp();
    // Class 2 or more: measuring selects the menu font, the classic look draws 3-D
    // edges around its cells.
    static bool HasMenuFontAndEdges() { return PlatformClass() >= kWin95; }

    // The window whose DC measures menu texts and renders menu images: the
    // application's main window, or the desktop window when there is none. Not owned.
    static HWND HostWindow();
    // The system's menu font (the lfMenuFont of the non-client metrics, read with the
    // record size every system since Windows 2000 knows).
    static BOOL CreateMenuFont(CFont& font);
};

#include "ui/menu/MenuPlatform.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "framework/CWinApp.h"
#include "framework/CWnd.h"

namespace {

constexpr DWORD kOsVersionInfoSize = 148;  // OSVERSIONINFOA
constexpr char kThemeKey[] = "Software\\Microsoft\\Plus!\\Themes\\Current";
constexpr char kClassicTheme[] = "Windows Classic.theme";
constexpr int kThemePathSize = 260;

int ReadPlatformClass() {
    const DWORD version = ::GetVersion();
    // The record comes from the heap, as a caller on a small stack would take it.
    auto* info = static_cast<OSVERSIONINFOA*>(std::calloc(1, kOsVersionInfoSize));
    if (info == nullptr) {
        return (version & 0x80000000u) != 0 ? MenuPlatform::kWin95 : MenuPlatform::kLaterNt;
    }
    info->dwOSVersionInfoSize = kOsVersionInfoSize;
    ::GetVersionExA(info);  // on failure the zeroed record reads as minor version 0
    const int result = MenuPlatform::Classify(version, *info);
    std::free(info);
    return result;
}

// Computed during static initialisation, before the application runs.
const int g_platformClass = ReadPlatformClass();

struct ThemeCache {
    BOOL done = FALSE;
    BOOL classic = FALSE;
};
ThemeCache g_theme;

}  // namespace

int MenuPlatform::Classify(DWORD version, const OSVERSIONINFOA& info) {
    const bool nineX = (version & 0x80000000u) != 0;
    const DWORD major = LOBYTE(LOWORD(version));
    if (nineX) {
        if (major < 4) {
            return kOld9x;
        }
        if (major != 4) {
            return kWin95;
        }
        if (info.dwMinorVersion == 10) {
            return kWin98;
        }
        return info.dwMinorVersion == 90 ? kWinMe : kWin95;
    }
    if (major == 4) {
        return kNt4;
    }
    if (major != 5) {
        return kLaterNt;
    }
    if (info.dwMinorVersion == 0) {
        return kWin2000;
    }
    return info.dwMinorVersion == 1 ? kWinXp : kLaterNt;
}

int MenuPlatform::PlatformClass() {
    return g_platformClass;
}

BOOL MenuPlatform::IsClassicThemeActive() {
    if (g_theme.done) {
        return g_theme.classic;
    }
    g_theme.done = TRUE;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kThemeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return g_theme.classic;
    }
    char path[kThemePathSize] = {};
    DWORD type = REG_SZ;
    DWORD size = sizeof path - 1;  // room for a terminator the stored string may lack
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) ==
        ERROR_SUCCESS) {
        const size_t length = std::strlen(path);
        const size_t suffix = sizeof kClassicTheme - 1;
        if (length >= suffix && ::lstrcmpiA(path + length - suffix, kClassicTheme) == 0) {
            g_theme.classic = TRUE;
        }
    }
    ::RegCloseKey(key);
    return g_theme.classic;
}

bool MenuPlatform::IsThemedXp() {
    return PlatformClass() == kWinXp && !IsClassicThemeActive();
}

HWND MenuPlatform::HostWindow() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd != nullptr && ::IsWindow(app->m_pMainWnd->m_hWnd)) {
        return app->m_pMainWnd->m_hWnd;
    }
    return ::GetDesktopWindow();
}

BOOL MenuPlatform::CreateMenuFont(CFont& font) {
    NONCLIENTMETRICSA metrics{};
    // 340 bytes: without the padded-border field that only later systems accept.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        return FALSE;
    }
    return font.CreateFontIndirect(&metrics.lfMenuFont);
}

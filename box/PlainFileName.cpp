#include "box/PlainFileName.h"

#include <cctype>
#include <cstring>
#include <string>

#include "base/AsciiCase.h"
#include "box/WireFormat.h"

namespace {

// Characters that make a name a path on some system.
constexpr const char* kPathCharacters = "/\\:";
// Characters that no Windows file name may hold.
constexpr const char* kWindowsForbidden = "*?\"<>|";

bool IsDeviceName(const char* name, size_t n) {
    // The device is named by what comes before the first dot, in any case.
    const char* dot = static_cast<const char*>(std::memchr(name, '.', n));
    std::string stem = AsciiLower(std::string(name, dot != nullptr ? dot - name : n));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();  // "CON .txt" is the device too
    }
    static constexpr const char* kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (const char* device : kDevices) {
        if (stem == device) {
            return true;
        }
    }
    // COM1..COM9 and LPT1..LPT9 (COM0 and LPT0 too, on newer systems).
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
           std::isdigit(static_cast<unsigned char>(stem[3]));
}

// What Windows reads the name as: trailing dots and blanks dropped.
std::string AsWindowsReadsIt(const char* name, size_t n) {
    while (n > 0 && (name[n - 1] == '.' || name[n - 1] == ' ')) {
        --n;
    }
    return std::string(name, n);
}

// Names whose extension Windows runs when the file is named or opened
// (PATHEXT's and what Explorer starts on a double click), loads as code
// (libraries, drivers, control panel items, screen savers) or acts on when a
// folder is merely shown (shortcuts, shell command files, desktop.ini).
bool IsRunnableName(const std::string& asRead) {
    const std::string name = AsciiLower(asRead);
    if (name == "desktop.ini") {
        return true;
    }
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string extension = name.substr(dot + 1);
    // clang-format off
    static constexpr const char* kRunnable[] = {
        "com", "exe", "bat", "cmd", "vbs", "vbe", "js", "jse", "wsf", "wsh", "ws", "wsc", "sct",
        "msc", "hta", "pif", "scr", "cpl", "msi", "msp", "mst", "ps1", "psm1", "psd1", "ps1xml",
        "reg", "inf", "jar", "application", "appref-ms", "gadget",
        "dll", "ocx", "sys", "drv", "ax", "efi",
        "lnk", "url", "scf", "settingcontent-ms", "library-ms", "searchconnector-ms"};
    // clang-format on
    for (const char* runnable : kRunnable) {
        if (extension == runnable) {
            return true;
        }
    }
    return false;
}

}  // namespace

FileNameFault CheckFileName(const char* name) {
    if (name == nullptr) {
        return FileNameFault::kNotPlain;
    }
    const size_t n = strnlen(name, wire::kNameFieldSize);
    if (n == 0 || n >= wire::kNameFieldSize) {
        return FileNameFault::kNotPlain;
    }
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
        return FileNameFault::kNotPlain;
    }
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || std::strchr(kPathCharacters, c) != nullptr) {
            return FileNameFault::kNotPlain;
        }
    }
    // Before the trailing dots and blanks are looked at: "a.exe." is run as
    // "a.exe", and that is what to say about it.
    if (IsRunnableName(AsWindowsReadsIt(name, n))) {
        return FileNameFault::kWindowsRunnable;
    }
    if (std::strpbrk(name, kWindowsForbidden) != nullptr || name[n - 1] == '.' ||
        name[n - 1] == ' ' || IsDeviceName(name, n)) {
        return FileNameFault::kWindowsSpecial;
    }
    return FileNameFault::kNone;
}

bool IsPlainFileName(const char* name) {
    const FileNameFault fault = CheckFileName(name);
#ifdef _WIN32
    return fault == FileNameFault::kNone;
#else
    // Elsewhere such a name is one ordinary file: a box's file or a backup
    // made here stays usable, and Windows refuses it when it gets there.
    return fault != FileNameFault::kNotPlain;
#endif
}

std::string UnusableNameText(const char* name) {
    if (IsPlainFileName(name)) {
        return "";
    }
    switch (CheckFileName(name)) {
        case FileNameFault::kWindowsSpecial:
            return "a name Windows refuses or reads as another (a device, a character Windows "
                   "refuses, a trailing dot or blank)";
        case FileNameFault::kWindowsRunnable:
            return "a name Windows would run or load (a program, script, library or shortcut), "
                   "never used on Windows";
        default:
            break;
    }
    return "not a plain file name (1 to 31 characters without / \\ : or control characters)";
}

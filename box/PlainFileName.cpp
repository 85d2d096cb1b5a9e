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

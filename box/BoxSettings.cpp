#include "box/BoxSettings.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/StdioFile.h"

namespace {

// The value after `key` (a name with its '=', any letter case) at the start of
// `line`, or null when the line holds another key.
const char* ValueOfKey(const char* line, const char* key) {
    for (; *key != '\0'; ++line, ++key) {
        if (std::toupper(static_cast<unsigned char>(*line)) !=
            std::toupper(static_cast<unsigned char>(*key))) {
            return nullptr;
        }
    }
    return line;
}

template <typename Accept>
void CopyWhile(char* out, const char* in, Accept accept) {
    size_t n = 0;
    while (n + 1 < BoxSettings::kTextSize && in[n] != '\0' &&
           accept(static_cast<unsigned char>(in[n]))) {
        out[n] = in[n];
        ++n;
    }
    out[n] = '\0';
}

void CopyCut(char* out, size_t size, const char* in) {
    if (size == 0) {
        return;
    }
    const size_t n = in != nullptr ? strnlen(in, size - 1) : 0;
    std::memcpy(out, in, n);
    out[n] = '\0';
}

}  // namespace

BoxSettings::BoxSettings() : boxIp_{}, port_(1000), password_{} {
    SetBoxIp("192.168.1.108");
    SetPassword("7351");
}

void BoxSettings::ParseLine(const char* line) {
    if (const char* value = ValueOfKey(line, "BOXIP=")) {
        CopyWhile(boxIp_, value,
                  [](unsigned char c) { return std::isdigit(c) || c == '.' || c == ' '; });
    }
    if (const char* value = ValueOfKey(line, "PORT=")) {
        port_ = std::atoi(value);
    }
    if (const char* value = ValueOfKey(line, "PASSWORD=")) {
        CopyWhile(password_, value, [](unsigned char c) { return std::isdigit(c) != 0; });
    }
}

bool BoxSettings::Load() {
    StdioFile file(kPath, "r");
    if (!file.IsOpen()) {
        return false;
    }
    char line[kTextSize];
    while (std::fgets(line, sizeof line, file.Get()) != nullptr) {
        ParseLine(line);
    }
    return true;
}

void BoxSettings::Save() const {
    StdioFile file(kPath, "w");
    if (!file.IsOpen()) {
        return;
    }
    std::fprintf(file.Get(), "BOXIP=%s\n", boxIp_);
    std::fprintf(file.Get(), "PORT=%05d\n", port_);
    std::fprintf(file.Get(), "PASSWORD=%s\n", password_);
}

void BoxSettings::GetBoxIp(char* out, size_t size) const {
    CopyCut(out, size, boxIp_);
}
void BoxSettings::GetPassword(char* out, size_t size) const {
    CopyCut(out, size, password_);
}
void BoxSettings::SetBoxIp(const char* text) {
    CopyCut(boxIp_, kTextSize, text);
}
void BoxSettings::SetPassword(const char* text) {
    CopyCut(password_, kTextSize, text);
}

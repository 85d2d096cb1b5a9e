#include "box/PlainFileName.h"

#include <cstring>

#include "box/WireFormat.h"

bool IsPlainFileName(const char* name) {
    if (name == nullptr) {
        return false;
    }
    const size_t n = strnlen(name, wire::kNameFieldSize);
    if (n == 0 || n >= wire::kNameFieldSize) {
        return false;
    }
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '/' || c == '\\' || c == ':' || c < 0x20) {
            return false;
        }
    }
    return true;
}

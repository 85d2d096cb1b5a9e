#include <vector>

#include "backup/Sha256.h"
#include "base/StdioFile.h"

std::string Sha256::Hex(const Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(digest.size() * 2);
    for (const uint8_t b : digest) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0xF];
    }
    return hex;
}

bool Sha256::OfFile(const std::string& path, std::string* hex) {
    constexpr size_t kChunk = 1 << 16;
    StdioFile file(path.c_str(), "rb");
    if (!file.IsOpen()) {
        return false;
    }
    Sha256 sha;
    std::vector<uint8_t> buffer(kChunk);
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file.Get())) > 0) {
        if (!sha.Update(buffer.data(), n)) {
            return false;
        }
    }
    Digest digest;
    if (std::ferror(file.Get()) || !sha.Finish(&digest)) {
        return false;
    }
    *hex = Hex(digest);
    return true;
}

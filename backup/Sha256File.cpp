#include <vector>

#include "backup/Sha256.h"
#include "base/TextEscape.h"

std::string Sha256::Hex(const Digest& digest) {
    return HexOf(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

std::string Sha256::OfBytes(const std::string& bytes) {
    Sha256 sha;
    Digest digest;
    if (!sha.Update(bytes.data(), bytes.size()) || !sha.Finish(&digest)) {
        return "";
    }
    return Hex(digest);
}

bool Sha256::OfFile(const std::filesystem::path& path, std::string* hex, FileKind* kind) {
    constexpr size_t kChunk = 1 << 16;
    FileKind found = FileKind::kMissing;
    const StdioFile file = OpenRegularFile(path, LinkRule::kRefuse, false, &found);
    if (kind != nullptr) {
        *kind = found;
    }
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

#include "boxsim/ServedFile.h"

#include <algorithm>
#include <system_error>

namespace {

// A few dozen blocks per read call: large enough that reading costs little
// beside the record's round trip, small enough to keep the box's memory flat.
constexpr size_t kStreamBufferSize = 64 * 1024;

}  // namespace

bool ServedFile::Open(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    size_ = std::filesystem::file_size(path, ec);
    if (ec) {
        return false;
    }
    buffer_ = std::make_unique<char[]>(kStreamBufferSize);
    // Set before opening: the standard library honours it only then.
    in_.rdbuf()->pubsetbuf(buffer_.get(), kStreamBufferSize);
    in_.open(path, std::ios::binary);
    return in_.is_open() && ReadAhead();
}

bool ServedFile::ReadAhead() {
    in_.read(reinterpret_cast<char*>(ahead_.data()), static_cast<std::streamsize>(ahead_.size()));
    aheadCount_ = static_cast<size_t>(in_.gcount());
    // A short block carries nothing after its bytes.
    std::fill(ahead_.begin() + static_cast<std::ptrdiff_t>(aheadCount_), ahead_.end(), 0);
    return !in_.bad();
}

bool ServedFile::Next(Block* block, size_t* count, bool* last) {
    *block = ahead_;
    *count = aheadCount_;
    if (aheadCount_ < ahead_.size()) {
        aheadCount_ = 0;
        *last = true;
        return true;
    }
    if (!ReadAhead()) {
        return false;
    }
    *last = aheadCount_ == 0;
    return true;
}

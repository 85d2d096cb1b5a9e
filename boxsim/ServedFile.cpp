#include "boxsim/ServedFile.h"

#include <algorithm>
#include <cstdio>

namespace {

// A few dozen blocks per read call: large enough that reading costs little
// beside the record's round trip, small enough to keep the box's memory flat.
constexpr size_t kStreamBufferSize = 64 * 1024;

}  // namespace

bool ServedFile::Open(const std::filesystem::path& path, FileKind* kind) {
    file_ = OpenRegularFile(path, LinkRule::kRefuse, false, kind);
    if (!file_.IsOpen()) {
        return false;
    }
    // Set before any other use of the stream: the C library honours it only then.
    buffer_ = std::make_unique<char[]>(kStreamBufferSize);
    std::setvbuf(file_.Get(), buffer_.get(), _IOFBF, kStreamBufferSize);
    const int64_t size = file_.Size();
    if (size < 0) {
        *kind = FileKind::kUnreadable;
        return false;
    }
    size_ = static_cast<uint64_t>(size);
    if (!ReadAhead()) {
        *kind = FileKind::kUnreadable;
        return false;
    }
    return true;
}

bool ServedFile::ReadAhead() {
    aheadCount_ = std::fread(ahead_.data(), 1, ahead_.size(), file_.Get());
    // A short block carries nothing after its bytes.
    std::fill(ahead_.begin() + static_cast<std::ptrdiff_t>(aheadCount_), ahead_.end(), 0);
    return std::ferror(file_.Get()) == 0;
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

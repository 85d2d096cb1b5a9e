#include "backup/Sha256Sink.h"

void Sha256Sink::Write(const void* data, size_t length) {
    if (failed_ || length == 0) {
        return;
    }
    failed_ = !sha_.Update(data, length);
    size_ += static_cast<int64_t>(length);
}

bool Sha256Sink::Commit() {
    Sha256::Digest digest;
    if (failed_ || !sha_.Finish(&digest)) {
        failed_ = true;
        return false;
    }
    hex_ = Sha256::Hex(digest);
    return true;
}

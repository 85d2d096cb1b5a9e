#include "backup/Sha256Sink.h"

void Sha256Sink::Write(const void* data, size_t length) {
    if (failed_ || length == 0) {
        return;
    }
    failed_ = !sha_.Update(data, length);
    size_ += static_cast<int64_t>(length);
    if (keeping_ && length <= keepLimit_ - kept_.size()) {
        kept_.append(static_cast<const char*>(data), length);
    } else if (keeping_) {
        keeping_ = false;
        kept_ = std::string();  // its memory goes too
    }
}

void Sha256Sink::KeepUpTo(size_t limit) {
    keeping_ = true;
    keepLimit_ = limit;
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

#include "box/UploadFile.h"

#include <cstdio>

namespace {

constexpr size_t kFileBufferSize = 1 << 16;

}  // namespace

UploadFile::UploadFile(const std::filesystem::path& path, LinkRule links)
    : buffer_(kFileBufferSize), file_(OpenRegularFile(path, links, false, &kind_)) {
    if (file_.IsOpen()) {
        std::setvbuf(file_.Get(), buffer_.data(), _IOFBF, buffer_.size());
        size_ = file_.Size();
    }
}

size_t UploadFile::Read(void* data, size_t length) {
    return IsOpen() ? std::fread(data, 1, length, file_.Get()) : 0;
}

bool UploadFile::ReadFailed() const {
    return !IsOpen() || std::ferror(file_.Get()) != 0;
}

bool UploadFile::Rewind() {
    return IsOpen() && std::fseek(file_.Get(), 0, SEEK_SET) == 0;
}

#include "box/ReplacingFile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

constexpr size_t kBufferSize = 1 << 16;

}  // namespace

ReplacingFile::ReplacingFile(std::string target, std::string temporary)
    : target_(std::move(target)),
      temporary_(std::move(temporary)),
      file_(temporary_.c_str(), "wb") {
    // Records come in pieces of 1024 bytes; a larger buffer than the default
    // writes them in few calls. The C library of glibc ignores the size
    // unless it is given the buffer.
    if (file_.IsOpen()) {
        buffer_ = std::make_unique<char[]>(kBufferSize);
        std::setvbuf(file_.Get(), buffer_.get(), _IOFBF, kBufferSize);
    }
}

ReplacingFile::~ReplacingFile() {
    if (!committed_) {
        file_.Close();
        std::remove(temporary_.c_str());
    }
}

void ReplacingFile::Write(const void* data, size_t length) {
    if (!file_.IsOpen() || writeFailed_ || length == 0) {
        return;
    }
    if (std::fwrite(data, 1, length, file_.Get()) != length) {
        writeFailed_ = true;
        return;
    }
    size_ += length;
}

bool ReplacingFile::Commit() {
    if (!file_.IsOpen() || writeFailed_) {
        return false;
    }
    if (!file_.Close()) {
        writeFailed_ = true;
        return false;
    }
    // Replaces an existing target on both platforms (MoveFileEx on Windows).
    std::error_code ec;
    std::filesystem::rename(temporary_, target_, ec);
    committed_ = !ec;
    return committed_;
}

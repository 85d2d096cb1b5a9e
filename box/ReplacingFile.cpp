#include "box/ReplacingFile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/RegularFile.h"

namespace {

constexpr size_t kBufferSize = 1 << 16;

// A new file under the name: a leftover of an earlier run, or a link or a
// FIFO someone put there, goes first (a link itself, not what it points to);
// a folder stays, and then the file cannot be made.
StdioFile CreateAfresh(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, ec))) {
        std::filesystem::remove(path, ec);
    }
    return CreateNewFile(path);
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target, std::string temporary)
    : target_(std::move(target)),
      temporary_(std::move(temporary)),
      cleanup_(temporary_, SignalCleanup::Kind::kFile),
      file_(CreateAfresh(temporary_)) {
    // Records come in pieces of 1024 bytes; a larger buffer than the default
    // writes them in few calls. The C library of glibc ignores the size
    // unless it is given the buffer.
    created_ = file_.IsOpen();
    if (!created_) {
        cleanup_.Release();
    } else {
        buffer_ = std::make_unique<char[]>(kBufferSize);
        std::setvbuf(file_.Get(), buffer_.get(), _IOFBF, kBufferSize);
    }
}

ReplacingFile::~ReplacingFile() {
    // What has the temporary name is ours only when we created it.
    if (!committed_ && created_) {
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
    if (committed_) {
        cleanup_.Release();
    }
    return committed_;
}

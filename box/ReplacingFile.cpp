#include "box/ReplacingFile.h"

#include <cstdio>
#include <cstring>
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

// What has the copy's name; a link is never followed.
FileKind KindOfCopy(const std::string& name) {
    FileKind kind = FileKind::kMissing;
    OpenRegularFile(name, LinkRule::kRefuse, false, &kind);
    return kind;
}

// Whether the regular file `target` (a link is never followed) holds bytes
// other than `written`'s. One that cannot be read counts as other: it is kept.
bool HoldsOtherBytes(const std::string& target, const std::string& written) {
    FileKind kind = FileKind::kMissing;
    StdioFile old = OpenRegularFile(target, LinkRule::kRefuse, false, &kind);
    if (kind == FileKind::kMissing || kind == FileKind::kLink || kind == FileKind::kFolder ||
        kind == FileKind::kSpecial) {
        return false;
    }
    StdioFile fresh = OpenRegularFile(written, LinkRule::kRefuse, false, &kind);
    if (!old.IsOpen() || !fresh.IsOpen()) {
        return true;
    }
    char a[4096];
    char b[sizeof a];
    for (;;) {
        const size_t n = std::fread(a, 1, sizeof a, old.Get());
        const size_t m = std::fread(b, 1, sizeof b, fresh.Get());
        if (n != m || std::memcmp(a, b, n) != 0 || std::ferror(old.Get()) != 0 ||
            std::ferror(fresh.Get()) != 0) {
            return true;
        }
        if (n == 0) {
            return false;
        }
    }
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target, std::string temporary, ReplacedFile replaced)
    : target_(std::move(target)),
      temporary_(std::move(temporary)),
      cleanup_(temporary_, SignalCleanup::Kind::kFile),
      file_(CreateAfresh(temporary_)),
      replaced_(replaced) {
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
    std::error_code ec;
    const std::string keptName = KeptName(target_);
    if (replaced_ == ReplacedFile::kKeep && HoldsOtherBytes(target_, temporary_)) {
        // The old file is moved to a name that nothing has. Only an earlier
        // copy, a regular file, is removed first: anything else there (a folder,
        // a link, which Wine's delete would follow) keeps the target as it was.
        if (KindOfCopy(keptName) == FileKind::kRegular) {
            std::filesystem::remove(keptName, ec);
        }
        const bool nameFree = KindOfCopy(keptName) == FileKind::kMissing;
        if (nameFree) {
            std::filesystem::rename(target_, keptName, ec);
        }
        if (!nameFree || ec) {
            keepFailed_ = true;
            return false;
        }
        kept_ = true;
    }
    // Replaces an existing target on both platforms (MoveFileEx on Windows).
    std::filesystem::rename(temporary_, target_, ec);
    committed_ = !ec;
    if (!committed_ && kept_) {
        // The old file goes back where it was.
        std::error_code back;
        std::filesystem::rename(keptName, target_, back);
        kept_ = false;
    }
    if (committed_) {
        cleanup_.Release();
    }
    return committed_;
}

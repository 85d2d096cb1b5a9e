#pragma once
// A local file as an upload's source, opened only when it is a regular file
// (and, with LinkRule::kRefuse, not through a symbolic link); its size is
// that of the open file.
#include <filesystem>
#include <vector>

#include "base/RegularFile.h"
#include "box/UploadSource.h"

class UploadFile : public UploadSource {
public:
    UploadFile(const std::filesystem::path& path, LinkRule links);

    bool IsOpen() const override { return file_.IsOpen() && size_ >= 0; }
    int64_t Size() const override { return size_; }
    size_t Read(void* data, size_t length) override;
    bool ReadFailed() const override;
    // What the path was found to be; kRegular when it opened.
    FileKind Kind() const { return kind_; }
    // Back to the first byte, to read the same open file again.
    bool Rewind();

private:
    // Blocks are read 1024 bytes at a time; a larger buffer than the default
    // reads them in few calls. glibc ignores the size unless it is given the
    // buffer, which is declared first so that it outlives the stream.
    std::vector<char> buffer_;
    FileKind kind_ = FileKind::kMissing;
    StdioFile file_;
    int64_t size_ = -1;
};

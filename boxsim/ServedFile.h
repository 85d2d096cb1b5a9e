#pragma once
// A file that the substitute box sends, read one block at a time with the
// next block read ahead: memory stays at a few blocks whatever the file's
// size, and the last block is known from the file's end, also when the file
// changes while it is being sent. Only the folder's own regular files are
// served: a symbolic link (to /etc/passwd, or to another file of the
// folder), a folder, a FIFO or a device under a listed name is not opened.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "base/RegularFile.h"
#include "base/StdioFile.h"
#include "box/WireFormat.h"

class ServedFile {
public:
    using Block = std::array<uint8_t, wire::kBlockDataSize>;

    ServedFile() = default;
    ServedFile(const ServedFile&) = delete;
    ServedFile& operator=(const ServedFile&) = delete;

    // False when the path is not a regular file of its own (then *kind says
    // what it is) or cannot be read.
    bool Open(const std::filesystem::path& path, FileKind* kind);
    // The size when it was opened.
    uint64_t Size() const { return size_; }
    // The next block: fills `block`, sets its byte count and whether it is
    // the file's last. False on a read error.
    bool Next(Block* block, size_t* count, bool* last);

private:
    bool ReadAhead();

    std::unique_ptr<char[]> buffer_;  // the stream's buffer: declared first, so it outlives file_
    StdioFile file_;
    uint64_t size_ = 0;
    Block ahead_{};
    size_t aheadCount_ = 0;
};

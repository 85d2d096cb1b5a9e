#pragma once
// A file written in full beside its target under a temporary name, and put in
// place of the target only once it is complete: a write that breaks off leaves
// any earlier file of that name as it was, and no partial file under its name.
// The temporary file is always a new one (whatever had its name is removed
// first), so nothing is ever written through a symbolic link planted there;
// and it is removed when the run is interrupted by a signal (SignalCleanup).
//
// With ReplacedFile::kKeep, a regular file at the target that holds other
// bytes is kept as TARGET~ (GNU cp's --backup=simple): one copy, replacing an
// earlier one, which must be a regular file: a link or a folder of that name
// keeps the target as it was and fails Commit. The old file is moved, never
// copied, so nothing is written through a link. A link at the target is replaced and not kept: the
// file it points to stays as it was.
#include <cstddef>
#include <memory>
#include <string>

#include "base/RemovedOnSignal.h"
#include "base/StdioFile.h"

enum class ReplacedFile { kDiscard, kKeep };

class ReplacingFile {
public:
    ReplacingFile(std::string target, std::string temporary,
                  ReplacedFile replaced = ReplacedFile::kDiscard);
    ~ReplacingFile();  // removes the temporary file unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }
    // Appends bytes; a failed write is remembered and fails Commit.
    void Write(const void* data, size_t length);
    // Closes the temporary file and puts it in place of the target (keeping
    // the target first, where asked). False when it cannot: the target is then
    // as it was.
    bool Commit();
    bool WriteFailed() const { return writeFailed_; }
    // After a failed Commit: the target could not be kept as TARGET~.
    bool KeepFailed() const { return keepFailed_; }
    // After Commit: whether the replaced file was kept as TARGET~.
    bool Kept() const { return kept_; }
    static std::string KeptName(const std::string& target) { return target + "~"; }
    size_t Size() const { return size_; }

private:
    std::string target_;
    std::string temporary_;
    RemovedOnSignal cleanup_;         // before file_: registered while the file can exist
    std::unique_ptr<char[]> buffer_;  // the stream's buffer: declared first, so it outlives file_
    StdioFile file_;
    size_t size_ = 0;
    ReplacedFile replaced_;
    bool writeFailed_ = false;
    bool keepFailed_ = false;
    bool kept_ = false;
    bool created_ = false;  // the temporary file is ours to remove
    bool committed_ = false;
};

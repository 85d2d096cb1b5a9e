#pragma once
// Where a download is written: a temporary file beside the target that
// replaces the target only once the whole file has been written. A download
// that breaks off leaves any earlier file of that name as it was.
#include <string>

#include "box/StdioFile.h"

class DownloadFile {
public:
    explicit DownloadFile(const std::string& targetName);
    ~DownloadFile();
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }
    // Appends bytes; a failed write is remembered and fails Commit.
    void Write(const void* data, size_t length);
    // Closes the temporary file and puts it in place of the target.
    bool Commit();
    bool WriteFailed() const { return writeFailed_; }

    static std::string TemporaryName(const std::string& targetName);

private:
    std::string target_;
    std::string temporary_;
    StdioFile file_;
    bool writeFailed_ = false;
    bool committed_ = false;
};

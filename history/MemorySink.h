#pragma once
// A download kept in memory, up to a limit: a box that sends more than
// that fails the download rather than fill the PC's memory.
#include <cstddef>
#include <string>

#include "box/DownloadSink.h"

class MemorySink : public DownloadSink {
public:
    explicit MemorySink(size_t limit) : limit_(limit) {}

    bool IsOpen() const override { return true; }
    void Write(const void* data, size_t length) override;
    bool Commit() override { return !failed_; }
    bool WriteFailed() const override { return failed_; }

    std::string& Bytes() { return bytes_; }

private:
    size_t limit_;
    bool failed_ = false;
    std::string bytes_;
};

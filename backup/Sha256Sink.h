#pragma once
// A download that goes straight into a SHA-256: the box's copy of a file
// checked without storing it anywhere.
#include <cstdint>
#include <string>

#include "backup/Sha256.h"
#include "box/DownloadSink.h"

class Sha256Sink : public DownloadSink {
public:
    bool IsOpen() const override { return true; }
    void Write(const void* data, size_t length) override;
    bool Commit() override;
    bool WriteFailed() const override { return failed_; }

    // After a successful Commit.
    const std::string& Hex() const { return hex_; }
    int64_t Size() const { return size_; }

private:
    Sha256 sha_;
    int64_t size_ = 0;
    bool failed_ = false;
    std::string hex_;
};

#pragma once
// A download that goes straight into a SHA-256: the box's copy of a file
// checked without storing it anywhere, or, when asked, also kept in memory up
// to a limit (a copy larger than that is not kept at all).
#include <cstddef>
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

    // Before the first Write: keep the bytes too, up to `limit`.
    void KeepUpTo(size_t limit);
    // Whether the whole copy was kept; its bytes, taken once.
    bool Kept() const { return keeping_; }
    std::string TakeKept() { return std::move(kept_); }

    // After a successful Commit.
    const std::string& Hex() const { return hex_; }
    int64_t Size() const { return size_; }

private:
    Sha256 sha_;
    int64_t size_ = 0;
    bool failed_ = false;
    std::string hex_;
    bool keeping_ = false;
    size_t keepLimit_ = 0;
    std::string kept_;
};

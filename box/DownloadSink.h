#pragma once
// Where BoxSession::Dump puts the bytes it receives: a file (DownloadFile),
// or anything else that takes them as they come (a digest, memory).
#include <cstddef>

class DownloadSink {
public:
    virtual ~DownloadSink() = default;

    // False when nothing can be stored; the transfer still runs to its end.
    virtual bool IsOpen() const = 0;
    // Appends bytes; a failed write is remembered and fails Commit.
    virtual void Write(const void* data, size_t length) = 0;
    // Called once after the last record: the bytes become the result.
    virtual bool Commit() = 0;
    virtual bool WriteFailed() const = 0;
};

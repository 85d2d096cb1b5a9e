#pragma once
// Where BoxSession::UploadFrom takes the bytes it sends: a file (UploadFile),
// or anything that hands them out as they are read and may still stop the
// upload before its last block leaves (a backup's file checked as it is sent).
#include <cstddef>
#include <cstdint>

class UploadSource {
public:
    virtual ~UploadSource() = default;

    // False when there is nothing to send; the box is then not asked.
    virtual bool IsOpen() const = 0;
    // The bytes that will be sent (for progress); -1 when not known.
    virtual int64_t Size() const = 0;
    // Up to `length` bytes; fewer only at the end or on a read error.
    virtual size_t Read(void* data, size_t length) = 0;
    virtual bool ReadFailed() const = 0;
    // Once the last bytes are read and before they are sent: false stops the
    // upload, and the box, which cannot drop a started upload, loses the link.
    virtual bool MayFinish() { return true; }
};

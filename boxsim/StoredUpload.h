#pragma once
// Where the substitute box writes an upload: a temporary file in its folder
// that replaces the target only once the last block has been written, so a
// broken-off upload leaves any earlier file of that name as it was.
#include <cstddef>
#include <string>

#include "box/StdioFile.h"

class StoredUpload {
public:
    // Temporary files start with this; the box refuses uploads of such names.
    static constexpr const char* kTemporaryPrefix = "~boxsim-";

    StoredUpload(const std::string& folder, const std::string& name);
    ~StoredUpload();  // removes the temporary file unless committed
    StoredUpload(const StoredUpload&) = delete;
    StoredUpload& operator=(const StoredUpload&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }
    // Appends bytes; a failed write is remembered and fails Commit.
    void Write(const void* data, size_t size);
    // Closes the temporary file and puts it in place of the target.
    bool Commit();
    size_t Size() const { return size_; }

private:
    std::string target_;
    std::string temporary_;
    StdioFile file_;
    size_t size_ = 0;
    bool failed_ = false;
    bool committed_ = false;
};

#include "history/MemorySink.h"

void MemorySink::Write(const void* data, size_t length) {
    if (failed_ || length > limit_ - bytes_.size()) {
        failed_ = true;
        return;
    }
    bytes_.append(static_cast<const char*>(data), length);
}

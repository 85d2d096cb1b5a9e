#pragma once
// Owns one C runtime FILE stream; closes it when it goes.
#include <cstdint>
#include <cstdio>

class StdioFile {
public:
    StdioFile() = default;
    StdioFile(const char* path, const char* mode) : f_(std::fopen(path, mode)) {}
    // Takes over a stream opened elsewhere (may be null).
    explicit StdioFile(FILE* f) : f_(f) {}
    ~StdioFile() { Close(); }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;
    StdioFile(StdioFile&& other) noexcept : f_(other.f_) { other.f_ = nullptr; }
    StdioFile& operator=(StdioFile&& other) noexcept {
        if (this != &other) {
            Close();
            f_ = other.f_;
            other.f_ = nullptr;
        }
        return *this;
    }

    bool IsOpen() const { return f_ != nullptr; }
    FILE* Get() const { return f_; }

    // Returns false when the stream could not be flushed and closed cleanly.
    bool Close() {
        if (f_ == nullptr) {
            return true;
        }
        const bool ok = std::fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }

    // Size in bytes by seeking to the end; the position is restored to the start.
    int64_t Size() {
        if (std::fseek(f_, 0, SEEK_END) != 0) {
            return -1;
        }
#ifdef _WIN32
        const int64_t size = _ftelli64(f_);
#else
        const int64_t size = ftello(f_);
#endif
        std::rewind(f_);
        return size;
    }

private:
    FILE* f_ = nullptr;
};

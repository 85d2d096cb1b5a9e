#pragma once
// Makes a folder the working directory while the object lives. The box
// session reads uploads from, and writes downloads to, the working directory.
#include <filesystem>
#include <system_error>

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::filesystem::path& folder) {
        std::error_code ec;
        previous_ = std::filesystem::current_path(ec);
        if (!ec) {
            std::filesystem::current_path(folder, ec);
            entered_ = !ec;
        }
    }
    ~ScopedCurrentDirectory() {
        if (entered_) {
            std::error_code ec;
            std::filesystem::current_path(previous_, ec);
        }
    }
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

    bool Entered() const { return entered_; }

private:
    std::filesystem::path previous_;
    bool entered_ = false;
};

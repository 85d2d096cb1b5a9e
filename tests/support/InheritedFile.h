#pragma once
// One handle of a file that a program started by a test inherits as a
// standard stream (Windows only).
#ifdef _WIN32
#include <windows.h>

#include <filesystem>

class InheritedFile {
public:
    InheritedFile(const std::filesystem::path& path, DWORD access, DWORD creation) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        handle_ = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritedFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

#endif

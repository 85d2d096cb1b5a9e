#include "backup/StoreLock.h"

#include <chrono>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// How often a held lock is tried again: short beside a prune, long beside a syscall.
constexpr std::chrono::milliseconds kRetryInterval{50};

}  // namespace

StoreLock::~StoreLock() {
    Release();
}

#ifdef _WIN32

bool StoreLock::Held() const {
    return handle_ != nullptr;
}

void StoreLock::Release() {
    if (handle_ != nullptr) {
        // Closing the handle drops the lock, as ending the process does.
        CloseHandle(static_cast<HANDLE>(handle_));
        handle_ = nullptr;
    }
}

bool StoreLock::Acquire(const std::filesystem::path& file, int waitSeconds, std::string* why) {
    Release();
    HANDLE handle = CreateFileW(file.wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *why = "cannot open the lock file " + file.string() + ": " +
               std::system_category().message(static_cast<int>(GetLastError()));
        return false;
    }
    handle_ = handle;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    for (;;) {
        OVERLAPPED at{};
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
            *why = "cannot lock " + file.string() + ": " +
                   std::system_category().message(static_cast<int>(error));
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            *why = "another run held the lock " + file.string() + " for over " +
                   std::to_string(waitSeconds) + " s";
            break;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    Release();
    return false;
}

#else

bool StoreLock::Held() const {
    return fd_ >= 0;
}

void StoreLock::Release() {
    if (fd_ >= 0) {
        // Closing the descriptor drops the lock, as ending the process does.
        close(fd_);
        fd_ = -1;
    }
}

bool StoreLock::Acquire(const std::filesystem::path& file, int waitSeconds, std::string* why) {
    Release();
    // Never through a link someone left in its place.
    fd_ = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) {
        *why = "cannot open the lock file " + file.string() + ": " +
               std::generic_category().message(errno);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    for (;;) {
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            *why = "cannot lock " + file.string() + ": " + std::generic_category().message(errno);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            *why = "another run held the lock " + file.string() + " for over " +
                   std::to_string(waitSeconds) + " s";
            break;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    Release();
    return false;
}

#endif

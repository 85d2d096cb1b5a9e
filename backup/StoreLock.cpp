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

bool StoreLock::Open(const std::filesystem::path& file, std::string* error) {
    HANDLE handle = CreateFileW(file.wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = std::system_category().message(static_cast<int>(GetLastError()));
        return false;
    }
    handle_ = handle;
    return true;
}

StoreLock::Try StoreLock::TryLock(Mode mode, std::string* error) {
    OVERLAPPED at{};
    const DWORD exclusive = mode == Mode::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0;
    if (LockFileEx(static_cast<HANDLE>(handle_), exclusive | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &at)) {
        return Try::kLocked;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) {
        return Try::kHeldElsewhere;
    }
    *error = std::system_category().message(static_cast<int>(code));
    return Try::kFailed;
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

bool StoreLock::Open(const std::filesystem::path& file, std::string* error) {
    // Never through a link someone left in its place.
    fd_ = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) {
        *error = std::generic_category().message(errno);
        return false;
    }
    return true;
}

StoreLock::Try StoreLock::TryLock(Mode mode, std::string* error) {
    if (flock(fd_, (mode == Mode::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
        return Try::kLocked;
    }
    if (errno == EWOULDBLOCK || errno == EINTR) {
        return Try::kHeldElsewhere;
    }
    *error = std::generic_category().message(errno);
    return Try::kFailed;
}

#endif

bool StoreLock::Acquire(const std::filesystem::path& file, int waitSeconds, std::string* why,
                        Mode mode) {
    Release();
    std::string error;
    if (!Open(file, &error)) {
        *why = "cannot open the lock file " + file.string() + ": " + error;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    for (;;) {
        const Try tried = TryLock(mode, &error);
        if (tried == Try::kLocked) {
            return true;
        }
        if (tried == Try::kFailed) {
            *why = "cannot lock " + file.string() + ": " + error;
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

#pragma once
// The backup store's lock: an OS advisory lock (flock on POSIX, LockFileEx
// on Windows) on a lock file in the store's folder. The OS drops it when the
// file is closed, and so when its process ends, crashed or killed: a stale
// lock file never locks anyone out. The file itself stays (removing it would
// let two runs lock two different files).
#include <filesystem>
#include <string>

class StoreLock {
public:
    StoreLock() = default;
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Exclusive: one holder at a time. Shared: any number of holders, while
    // no one holds it exclusively.
    enum class Mode { kExclusive, kShared };

    // Waits at most `waitSeconds` for the lock on `file` (made if need be).
    // False with the reason: the file cannot be opened, or another run held
    // the lock all that time.
    bool Acquire(const std::filesystem::path& file, int waitSeconds, std::string* why,
                 Mode mode = Mode::kExclusive);
    bool Held() const;
    // Lets go of the lock now, as the destructor does.
    void Release();

private:
    enum class Try { kLocked, kHeldElsewhere, kFailed };

    // The lock file opened (made if need be); false with the system's words.
    bool Open(const std::filesystem::path& file, std::string* error);
    // One attempt at the lock, never waiting.
    Try TryLock(Mode mode, std::string* error);

#ifdef _WIN32
    void* handle_ = nullptr;  // a HANDLE
#else
    int fd_ = -1;
#endif
};

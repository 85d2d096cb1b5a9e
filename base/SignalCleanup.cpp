#include "base/SignalCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using PathChar = fs::path::value_type;
constexpr size_t kMaxPathLength = 4096;

enum SlotState : int { kFree, kWriting, kFile, kFolder };

struct Slot {
    std::atomic<int> state{kFree};
    PathChar path[kMaxPathLength];
};

Slot g_slots[SignalCleanup::kSlots];
// The handler reads the slots' states: that must not take a lock.
static_assert(std::atomic<int>::is_always_lock_free);

bool RemoveFile(const PathChar* path) {
#ifdef _WIN32
    return DeleteFileW(path) != 0;
#else
    return unlink(path) == 0;
#endif
}

bool RemoveFolder(const PathChar* path) {
#ifdef _WIN32
    return RemoveDirectoryW(path) != 0;
#else
    return rmdir(path) == 0;
#endif
}

#ifdef _WIN32
constexpr int kInterruptStatus = 128 + SIGINT;
constexpr int kHangupSignal = 1;  // the POSIX number, for the same status as there

BOOL WINAPI OnConsoleEvent(DWORD event) {
    int status = 0;
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            status = kInterruptStatus;
            break;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            status = 128 + kHangupSignal;
            break;
        default:
            return FALSE;
    }
    SignalCleanup::RemoveRegistered();
    ExitProcess(static_cast<UINT>(status));
}
#else
extern "C" void OnCleanupSignal(int signal) {
    SignalCleanup::RemoveRegistered();
    _exit(128 + signal);
}
#endif

}  // namespace

void SignalCleanup::Install() {
#ifdef _WIN32
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
#else
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = &OnCleanupSignal;
        sigfillset(&action.sa_mask);  // one cleanup at a time
        sigaction(signal, &action, nullptr);
    }
#endif
}

void SignalCleanup::IgnoreBrokenPipe() {
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

int SignalCleanup::Register(const fs::path& path, Kind kind) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    const fs::path::string_type& text = (ec ? path : absolute).native();
    if (text.empty() || text.size() >= kMaxPathLength) {
        return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (g_slots[i].state.compare_exchange_strong(expected, kWriting)) {
            std::memcpy(g_slots[i].path, text.c_str(), (text.size() + 1) * sizeof(PathChar));
            g_slots[i].state.store(kind == Kind::kFile ? kFile : kFolder);
            return i;
        }
    }
    return -1;
}

void SignalCleanup::Unregister(int slot) {
    if (slot >= 0 && slot < kSlots) {
        g_slots[slot].state.store(kFree);
    }
}

int SignalCleanup::RegisteredCount() {
    int count = 0;
    for (const Slot& slot : g_slots) {
        const int state = slot.state.load();
        count += state == kFile || state == kFolder ? 1 : 0;
    }
    return count;
}

// Runs in the signal handler: atomics, unlink and rmdir only.
void SignalCleanup::RemoveRegistered() {
    for (Slot& slot : g_slots) {
        if (slot.state.load() == kFile) {
            RemoveFile(slot.path);
        }
    }
    // A folder goes once the folders registered inside it have gone: one
    // more pass for every level of nesting.
    bool gone[kSlots] = {};
    for (int pass = 0; pass < kSlots; ++pass) {
        bool progress = false;
        for (int i = 0; i < kSlots; ++i) {
            if (!gone[i] && g_slots[i].state.load() == kFolder && RemoveFolder(g_slots[i].path)) {
                gone[i] = true;
                progress = true;
            }
        }
        if (!progress) {
            break;
        }
    }
}

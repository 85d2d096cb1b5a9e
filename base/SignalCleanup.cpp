#include "base/SignalCleanup.h"

#include <algorithm>
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
// Set when the handler begins. From then on no slot is freed or written, so
// the handler never reads a path being rewritten; this matters on Windows,
// where the handler runs on a thread of its own while the program's threads
// go on.
std::atomic<bool> g_ending{false};
// The handler reads the slots' states: that must not take a lock.
static_assert(std::atomic<int>::is_always_lock_free);
// Set by StopFirstBy; taken (and so cleared) by the first interruption.
std::atomic<std::atomic<bool>*> g_stopFlag{nullptr};
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free);

// Two farewells: the one the handler may be reading, and the one being
// written; `g_farewellShown` names the one to read, -1 for none.
struct Farewell {
    char text[SignalCleanup::kFarewellBytes];
    size_t length = 0;
};
Farewell g_farewells[2];
std::atomic<int> g_farewellShown{-1};

void WriteFarewell() {
    const int shown = g_farewellShown.load();
    if (shown < 0) {
        return;
    }
    const Farewell& farewell = g_farewells[shown];
#ifdef _WIN32
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), farewell.text, static_cast<DWORD>(farewell.length),
              &written, nullptr);
#else
    size_t at = 0;
    while (at < farewell.length) {
        const ssize_t n = write(STDERR_FILENO, farewell.text + at, farewell.length - at);
        if (n <= 0) {
            break;
        }
        at += static_cast<size_t>(n);
    }
#endif
}

// Whether the interruption only asks to stop: the first while a flag is given.
bool OnlyAskedToStop() {
    std::atomic<bool>* flag = g_stopFlag.exchange(nullptr);
    if (flag == nullptr) {
        return false;
    }
    flag->store(true);
    return true;
}

#ifdef _WIN32
// The outermost registered folder that holds the path; -1 when none does.
int OutermostFolderOf(const PathChar* path) {
    int found = -1;
    size_t foundLength = 0;
    for (int i = 0; i < SignalCleanup::kSlots; ++i) {
        // Only a path in full is read: the state says so first.
        if (g_slots[i].state.load() != kFolder) {
            continue;
        }
        const PathChar* folder = g_slots[i].path;
        const size_t length = wcslen(folder);
        if (wcsncmp(folder, path, length) == 0 && (path[length] == L'\\' || path[length] == L'/') &&
            (found < 0 || length < foundLength)) {
            found = i;
            foundLength = length;
        }
    }
    return found;
}

// A file still open (the transfer that was interrupted writes it on another
// thread) keeps its name until the process has ended, except where the file
// system deletes at once; its folder would then stay. So a file in a
// registered folder is first moved out of it, beside the outermost such
// folder, and deleted there.
bool RemoveFile(int slot) {
    const PathChar* path = g_slots[slot].path;
    const int folder = OutermostFolderOf(path);
    PathChar moved[kMaxPathLength + 32];
    if (folder >= 0) {
        static constexpr wchar_t kSuffix[] = L".removed-";
        const size_t length = wcslen(g_slots[folder].path);
        wmemcpy(moved, g_slots[folder].path, length);
        wmemcpy(moved + length, kSuffix, wcslen(kSuffix));
        size_t end = length + wcslen(kSuffix);
        static_assert(SignalCleanup::kSlots <= 100, "two digits name the slot");
        moved[end++] = static_cast<wchar_t>(L'0' + slot / 10);
        moved[end++] = static_cast<wchar_t>(L'0' + slot % 10);
        moved[end] = L'\0';
        if (MoveFileExW(path, moved, 0)) {
            path = moved;
        }
    }
    return DeleteFileW(path) != 0;
}
#else
bool RemoveFile(int slot) {
    return unlink(g_slots[slot].path) == 0;
}
#endif

bool RemoveFolder(const PathChar* path) {
#ifdef _WIN32
    return RemoveDirectoryW(path) != 0;
#else
    return rmdir(path) == 0;
#endif
}

void WaitForTheEnd() {
#ifdef _WIN32
    Sleep(INFINITE);
#else
    pause();
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
            if (OnlyAskedToStop()) {
                return TRUE;
            }
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
    g_ending.store(true);
    SignalCleanup::RemoveRegistered();
    if (status == kInterruptStatus) {
        WriteFarewell();
    }
    // At once, as _exit: ExitProcess would run the libraries' clean-up after
    // stopping the program's threads wherever they were.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    return TRUE;
}
#else
extern "C" void OnCleanupSignal(int signal) {
    if (signal != SIGHUP && OnlyAskedToStop()) {
        return;
    }
    g_ending.store(true);
    SignalCleanup::RemoveRegistered();
    if (signal != SIGHUP) {
        WriteFarewell();
    }
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

void SignalCleanup::StopFirstBy(std::atomic<bool>* flag) {
    g_stopFlag.store(flag);
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
            // The process is ending: what this path would name is never made.
            while (g_ending.load()) {
                WaitForTheEnd();
            }
            std::memcpy(g_slots[i].path, text.c_str(), (text.size() + 1) * sizeof(PathChar));
            g_slots[i].state.store(kind == Kind::kFile ? kFile : kFolder);
            return i;
        }
    }
    return -1;
}

void SignalCleanup::Unregister(int slot) {
    if (slot >= 0 && slot < kSlots && !g_ending.load()) {
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

// Runs in the signal handler: atomics and calls of the file system only.
void SignalCleanup::RemoveRegistered() {
    for (int i = 0; i < kSlots; ++i) {
        if (g_slots[i].state.load() == kFile) {
            RemoveFile(i);
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

void SignalCleanup::SetFarewell(std::string_view text) {
    if (g_ending.load()) {
        return;  // the handler may be reading either
    }
    if (text.empty()) {
        g_farewellShown.store(-1);
        return;
    }
    const int next = g_farewellShown.load() == 0 ? 1 : 0;
    Farewell& farewell = g_farewells[next];
    farewell.length = std::min(text.size(), kFarewellBytes);
    std::memcpy(farewell.text, text.data(), farewell.length);
    g_farewellShown.store(next);
}

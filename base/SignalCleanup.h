#pragma once
// Temporary files and folders that an interrupted run must not leave behind
// (a download's "~velqo-NAME.part", a read-back folder). Their paths are
// registered while they exist; once Install has run, SIGINT, SIGTERM and
// SIGHUP (on Windows: Ctrl+C, Ctrl+Break and closing the console) remove
// every registered path and end the process with 128 + the signal's number
// (Ctrl+C and Ctrl+Break: 130, closing: 129).
//
// The handler does only what is safe in a signal handler: it reads paths
// built in full when they were registered and calls unlink and rmdir. Files
// go first, then folders (a folder whose parent is registered too goes
// before it). A folder is removed only when empty, so the files put in it
// must be registered as well. On Windows the handler runs on a thread of its
// own while the program goes on; there a file in a registered folder is moved
// out beside that folder before it is deleted, since a file still open keeps
// its name until the process has ended.
//
// Registering and unregistering may happen on any thread and never block
// until the handler has begun; from then on unregistering does nothing and
// registering waits for the process to end, so the handler never reads a
// path being rewritten and no thread makes a new temporary file. A thread
// that has registered its path but not yet made the file can still make it
// after the handler has looked.
#include <atomic>
#include <filesystem>
#include <string_view>

class SignalCleanup {
public:
    enum class Kind { kFile, kFolder };
    // Paths registered at one time; more are not removed on a signal.
    static constexpr int kSlots = 32;

    // Installs the handlers. A signal that the process was started with
    // ignored (nohup, a background job) stays ignored.
    static void Install();
    // A write to a pipe whose reader has gone is then a failed write (EPIPE)
    // instead of a signal that ends the process. Nothing on Windows.
    static void IgnoreBrokenPipe();

    // While a flag is given, the first SIGINT or SIGTERM (on Windows Ctrl+C
    // or Ctrl+Break) only sets it, so that work that can stop between steps
    // stops there; the next one ends the process as ever. Null: every signal
    // ends it. The flag must outlive its use here.
    static void StopFirstBy(std::atomic<bool>* flag);

    // Registers the path, made absolute now (the working directory may change
    // later). Returns its slot, or -1 when every slot is taken or the path is
    // too long: then it is not removed on a signal.
    static int Register(const std::filesystem::path& path, Kind kind);
    static void Unregister(int slot);
    // How many paths are registered now.
    static int RegisteredCount();
    // Removes every registered path, as the handler does.
    static void RemoveRegistered();

    // The text written on stderr when an interruption ends the process (not
    // when it only asks to stop): what was done and what to run next, kept
    // up to date as work goes on. At most kFarewellBytes are kept; empty
    // writes nothing.
    static constexpr size_t kFarewellBytes = 1024;
    static void SetFarewell(std::string_view text);
};

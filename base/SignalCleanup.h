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
// must be registered as well. Registering and unregistering never block and
// may happen on any thread; the handler reads a path whose slot another
// thread is reusing at that very moment only when a program registers paths
// from several threads while it is interrupted (velqo-cli uses one thread).
#include <filesystem>

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

    // Registers the path, made absolute now (the working directory may change
    // later). Returns its slot, or -1 when every slot is taken or the path is
    // too long: then it is not removed on a signal.
    static int Register(const std::filesystem::path& path, Kind kind);
    static void Unregister(int slot);
    // How many paths are registered now.
    static int RegisteredCount();
    // Removes every registered path, as the handler does.
    static void RemoveRegistered();
};

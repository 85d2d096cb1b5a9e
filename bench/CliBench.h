#pragma once
// velqo-cli as a user runs it: a separate program downloading a file from the
// substitute box (in-process, its own folder), with its stderr on a
// pseudo-terminal, where it draws its progress bar, or on /dev/null, where it
// draws none. POSIX only, like the benchmark.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class BoxSimulator;

class CliBench {
public:
    CliBench();
    ~CliBench();  // stops the box and removes the folder
    CliBench(const CliBench&) = delete;
    CliBench& operator=(const CliBench&) = delete;

    // Writes the box's file of this size and starts the box.
    bool Start(uint64_t size, std::string* error);
    // One `velqo-cli get` of the file, timed from the program's start to its
    // end; checks its exit status and the file's size. Seconds, negative on
    // failure. terminalBytes: what the terminal was sent (0 without one);
    // cpuSeconds: the CPU time velqo-cli used (user and system), which the
    // machine's other work sways far less than the time passed.
    double Download(bool onTerminal, size_t* terminalBytes, double* cpuSeconds, std::string* error);

private:
    std::filesystem::path root_;
    uint64_t size_ = 0;
    std::unique_ptr<BoxSimulator> box_;
};

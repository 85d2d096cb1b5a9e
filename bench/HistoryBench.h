#pragma once
// `velqo-cli history` of a box with many backups in the store (each of a
// box's full 28 files, a few of them changed from one to the next), timed
// from the program's start to its end. POSIX only, like the benchmark.
#include <filesystem>
#include <string>

class HistoryBench {
public:
    HistoryBench() = default;
    ~HistoryBench();  // removes the folder
    HistoryBench(const HistoryBench&) = delete;
    HistoryBench& operator=(const HistoryBench&) = delete;

    // Writes `count` backups of one box into a new store.
    bool Start(int count, std::string* error);
    // One run; seconds, negative on failure. `lines`: the lines it printed.
    double Run(size_t* lines, std::string* error) const;

private:
    std::filesystem::path root_;
};

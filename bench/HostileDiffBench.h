#pragma once
// `velqo-cli diff` of two backups whose one text file changed in the ways
// that cost a line diff the most: lines of only a few kinds, in random
// order, so that hardly any line anchors the match and the edit distance
// is large, or millions of such lines with a few edits far apart. Each pair is diffed by the
// program as a user runs it, timed from its start to its end, and its peak memory (the largest
// resident set) taken from the system. POSIX only, like the benchmark.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

class HostileDiffBench {
public:
    // kFewFarEdits: the empty and "a" lines with a line changed near each
    // end, everything between common: cheap to match, but millions of lines.
    enum class Text { kRandomXY, kEmptyAndA, kFewFarEdits };

    HostileDiffBench() = default;
    ~HostileDiffBench();  // removes the folder
    HostileDiffBench(const HostileDiffBench&) = delete;
    HostileDiffBench& operator=(const HostileDiffBench&) = delete;

    // Writes the two backups of each text into a new folder.
    bool Start(std::string* error);

    struct Result {
        double seconds = -1;  // negative on failure
        size_t peakBytes = 0;
        size_t fileBytes = 0;  // of the text file, each side
    };
    // One run of `velqo-cli diff OLD NEW` (`namesOnly`: with --names-only).
    Result Run(Text text, bool namesOnly, std::string* error) const;
    static const char* Label(Text text);
    // This program's resident set now (VmRSS), 0 when unknown.
    static size_t OwnResidentBytes();

private:
    std::filesystem::path root_;
    std::vector<std::filesystem::path> folders_;  // per text: the older, the newer
    std::vector<size_t> sizes_;                   // per text: its bytes
};

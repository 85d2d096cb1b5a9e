#pragma once
// The progress line a person reads on a terminal, as text: "file 3 of 7"
// in a whole-box command, the file, its percentage, bytes done of the total
// in B, KiB or MiB, speed and time left.
#include <cstdint>
#include <string>

struct ProgressLine {
    // Speed and time left are not shown for a transfer younger than this,
    // unless it has ended: the first records say nothing about the link's pace.
    static constexpr int64_t kMinElapsedMs = 200;

    std::string name;
    int index = 0;  // file `index` of `count`; 0: not a whole-box command
    int count = 0;
    int percent = 0;
    int64_t done = -1;            // bytes; -1: not known
    int64_t total = -1;           // bytes; -1: not known
    bool totalEstimated = false;  // worked out from the percentage
    int64_t elapsedMs = 0;        // since the transfer started

    std::string Text() const;

    // "512 B", "1.5 KiB", "2.7 MiB"; `scale` chooses the unit.
    static std::string Bytes(int64_t bytes, int64_t scale);
    // "0:07", "12:05", "1:02:03".
    static std::string Duration(int64_t seconds);
};

#pragma once
// The line diff of the largest text file that is diffed as text, in the
// ways a box's text file changes: a few lines edited here and there, every
// line rewritten, a block of lines moved. In-process, no files.
#include <cstddef>
#include <string>

class DiffBench {
public:
    enum class Change { kEdited, kRewritten, kMoved };
    static constexpr size_t kEditEvery = 1000;  // kEdited: lines per edited one

    // The text both versions start from, of about `size` bytes.
    explicit DiffBench(size_t size);

    // One FileDiff of the text with its changed version; seconds, negative
    // when it was not diffed as text.
    // `diffBytes`: the size of the diff it made.
    double Run(Change change, size_t* diffBytes) const;
    static const char* Label(Change change);

private:
    std::string Changed(Change change) const;

    std::string text_;
};

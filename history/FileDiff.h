#pragma once
// One file of two backups (or of a backup and the box) set side by side:
// same, changed, added or removed. A changed text file carries its unified
// diff; a changed binary file, and a text file too different to be diffed
// line by line within the line diff's bound, its two sizes and the first
// offset at which they differ.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// kFailed: the file could not be read on one side (`problem` says why).
enum class DiffState { kSame, kChanged, kAdded, kRemoved, kFailed };

struct FileDifference {
    std::string name;
    DiffState state = DiffState::kSame;
    bool text = false;             // compared as text (type 1, no NUL byte, not too large)
    std::string unified;           // kChanged text: the diff with its headers
    bool tooDifferent = false;     // kChanged text: no diff, the lines differ too much
    int64_t oldSize = -1;          // -1: not in the old one
    int64_t newSize = -1;          // -1: not in the new one
    int64_t firstDifference = -1;  // kChanged without a diff: the first differing byte
    std::string problem;           // kFailed: why
};

class FileDiff {
public:
    // The largest text file diffed line by line, well above a box's
    // settings, channel and timer lists; a larger one is compared as bytes,
    // so that a hostile backup cannot make a diff run for long.
    static constexpr size_t kMaxTextBytes = 4 * 1024 * 1024;

    // `oldBytes` / `newBytes`: the file's content in each, none when it is
    // not there. `textType`: the box lists it as a text file. The diff's
    // headers are OLDLABEL/NAME and NEWLABEL/NAME. `lines`: false for the
    // state alone, never a line diff (a changed file's first difference
    // then stays unknown, -1, for a text file).
    static FileDifference Compare(const std::string& name, bool textType,
                                  const std::optional<std::string_view>& oldBytes,
                                  const std::optional<std::string_view>& newBytes,
                                  const std::string& oldLabel, const std::string& newLabel,
                                  bool lines = true);
    // The word of a state as the output shows it ("same", "changed"...).
    static const char* StateWord(DiffState state);
    // Whether content of the box's text type can be shown as text.
    static bool IsShownAsText(bool textType, std::string_view bytes);
};

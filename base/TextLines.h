#pragma once
// A text read line by line, each line with its end ("\n") when it has one,
// so that the lines joined again give the text byte for byte:
//
//     for (size_t at = 0; at < text.size();) {
//         const std::string_view line = LineAt(text, at);
//         at += line.size();
//     }
#include <cstddef>
#include <string_view>

// The line that starts at `start`, up to and with its "\n", or to the end
// of the text; empty when `start` is at the end.
std::string_view LineAt(std::string_view text, size_t start);

// The line without its "\n".
std::string_view WithoutLineEnd(std::string_view line);

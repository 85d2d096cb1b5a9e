#include "base/TextLines.h"

std::string_view LineAt(std::string_view text, size_t start) {
    if (start >= text.size()) {
        return {};
    }
    const size_t end = text.find('\n', start);
    return text.substr(start,
                       end == std::string_view::npos ? text.size() - start : end + 1 - start);
}

std::string_view WithoutLineEnd(std::string_view line) {
    if (line.ends_with('\n')) {
        line.remove_suffix(1);
    }
    return line;
}

#include "history/FileDiff.h"

#include <algorithm>
#include <utility>

#include "history/UnifiedDiff.h"

bool FileDiff::IsShownAsText(bool textType, std::string_view bytes) {
    return textType && bytes.size() <= kMaxTextBytes && bytes.find('\0') == std::string_view::npos;
}

FileDifference FileDiff::Compare(const std::string& name, bool textType,
                                 const std::optional<std::string_view>& oldBytes,
                                 const std::optional<std::string_view>& newBytes,
                                 const std::string& oldLabel, const std::string& newLabel,
                                 bool lines) {
    FileDifference file;
    file.name = name;
    if (oldBytes) {
        file.oldSize = static_cast<int64_t>(oldBytes->size());
    }
    if (newBytes) {
        file.newSize = static_cast<int64_t>(newBytes->size());
    }
    if (!oldBytes || !newBytes) {
        file.state = oldBytes ? DiffState::kRemoved : DiffState::kAdded;
        return file;
    }
    file.text = IsShownAsText(textType, *oldBytes) && IsShownAsText(textType, *newBytes);
    if (*oldBytes == *newBytes) {
        return file;
    }
    file.state = DiffState::kChanged;
    if (file.text) {
        if (!lines) {
            return file;
        }
        std::optional<std::string> unified =
            UnifiedDiff::Make(*oldBytes, *newBytes, oldLabel + "/" + name, newLabel + "/" + name);
        if (unified) {
            file.unified = std::move(*unified);
            return file;
        }
        file.tooDifferent = true;
    }
    const auto differs =
        std::mismatch(oldBytes->begin(), oldBytes->end(), newBytes->begin(), newBytes->end());
    file.firstDifference = static_cast<int64_t>(differs.first - oldBytes->begin());
    return file;
}

const char* FileDiff::StateWord(DiffState state) {
    switch (state) {
        case DiffState::kSame:
            return "same";
        case DiffState::kChanged:
            return "changed";
        case DiffState::kAdded:
            return "added";
        case DiffState::kRemoved:
            return "removed";
        case DiffState::kFailed:
            return "failed";
    }
    return "";
}

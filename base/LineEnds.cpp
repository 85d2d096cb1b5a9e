#include "base/LineEnds.h"

void LineEnds::Count(std::string_view piece) {
    for (const char c : piece) {
        if (c == '\n') {
            const Style end = heldCr_ ? Style::kCrLf : Style::kLf;
            if (crLf_ + lf_ == 0) {
                first_ = end;
            }
            ++(end == Style::kCrLf ? crLf_ : lf_);
        }
        heldCr_ = c == '\r';
        // A CR that is the file's last byte ends its last line, as the control loads it.
        lastEnds_ = c == '\n' || c == '\r';
    }
}

LineEnds::Style LineEnds::LineStyle() const {
    if (crLf_ != lf_) {
        return crLf_ > lf_ ? Style::kCrLf : Style::kLf;
    }
    return first_;
}

bool LineEnds::LastLineEnded() const {
    return lastEnds_;
}

std::string LineEnds::Restore(std::string_view shown) const {
    constexpr std::string_view kCrLf = "\r\n";
    const std::string_view end = LineStyle() == Style::kCrLf ? kCrLf : "\n";
    std::string text;
    text.reserve(shown.size() + end.size());
    for (size_t at = 0; at < shown.size();) {
        if (shown.substr(at, kCrLf.size()) == kCrLf) {
            text += end;
            at += kCrLf.size();
        } else {
            text += shown[at++];
        }
    }
    const bool ended = !text.empty() && (text.back() == '\n' || text.back() == '\r');
    if (LastLineEnded() && !text.empty() && !ended) {
        text += end;
    } else if (!LastLineEnded() && text.ends_with(end)) {
        text.resize(text.size() - end.size());
    }
    return text;
}

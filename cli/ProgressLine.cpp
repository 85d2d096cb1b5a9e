#include "cli/ProgressLine.h"

#include <cstdio>

namespace {

constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = 1024 * 1024;

const char* Unit(int64_t scale) {
    return scale < kKiB ? "B" : scale < kMiB ? "KiB" : "MiB";
}

// The number alone, in the unit that `scale` chooses.
std::string Number(int64_t bytes, int64_t scale) {
    char text[32];
    if (scale < kKiB) {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(bytes));
    } else {
        const double unit = static_cast<double>(scale < kMiB ? kKiB : kMiB);
        std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / unit);
    }
    return text;
}

}  // namespace

std::string ProgressLine::Bytes(int64_t bytes, int64_t scale) {
    return Number(bytes, scale) + " " + Unit(scale);
}

std::string ProgressLine::Duration(int64_t seconds) {
    char text[32];
    const long long h = seconds / 3600;
    const long long m = seconds / 60 % 60;
    const long long s = seconds % 60;
    if (h > 0) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
    }
    return text;
}

std::string ProgressLine::Text() const {
    std::string text;
    if (count > 0) {
        text += "file " + std::to_string(index) + " of " + std::to_string(count) + "  ";
    }
    if (!name.empty()) {
        text += name + "  ";
    }
    char percentText[8];
    std::snprintf(percentText, sizeof percentText, "%3d%%", percent);
    text += percentText;
    if (done < 0) {
        return text;
    }
    if (total >= 0) {
        text +=
            "  " + Number(done, total) + " of " + (totalEstimated ? "~" : "") + Bytes(total, total);
    } else {
        text += "  " + Bytes(done, done);
    }
    const bool finished = total >= 0 && done >= total && !totalEstimated;
    if ((elapsedMs < kMinElapsedMs && !(finished && elapsedMs > 0)) || done == 0) {
        return text;
    }
    const int64_t speed = done * 1000 / elapsedMs;  // bytes a second
    text += "  " + Bytes(speed, speed) + "/s";
    if (total > done && speed > 0) {
        text += "  " + Duration((total - done + speed - 1) / speed) + " left";
    }
    return text;
}

#include "cli/TerminalLog.h"

#include <chrono>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "base/TextEscape.h"

namespace {

// The line feeds that start and end a log text are its own line structure;
// everything between, names and box texts among it, is shown escaped.
std::string Escaped(std::string_view text) {
    const size_t first = text.find_first_not_of('\n');
    if (first == std::string_view::npos) {
        return std::string(text);
    }
    const size_t end = text.find_last_not_of('\n') + 1;
    return std::string(text.substr(0, first)) + EscapeControls(text.substr(first, end - first)) +
           std::string(text.substr(end));
}

}  // namespace

TerminalLog* TerminalLog::current_ = nullptr;

TerminalLog::TerminalLog(FILE* out, bool showProgress, Clock clock)
    : out_(out), showProgress_(showProgress), clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
    }
    current_ = this;
}

TerminalLog::~TerminalLog() {
    EndProgress();
    if (current_ == this) {
        current_ = nullptr;
    }
}

int TerminalLog::LogSink(const char* text, int /*colour*/) {
    if (current_ != nullptr) {
        current_->Write(text);
    }
    return 0;
}

int TerminalLog::ProgressSink(int percent) {
    if (current_ != nullptr && current_->showProgress_) {
        current_->Progress(percent);
    }
    return 0;
}

void TerminalLog::Write(const char* text) {
    if (barShown_) {
        // Wipe the bar; it is drawn again at the next progress report.
        std::fputs("\r\033[K", out_);
        barShown_ = false;
    }
    std::fputs(Escaped(text).c_str(), out_);
    std::fflush(out_);
}

void TerminalLog::Progress(int percent) {
    const int64_t now = clock_();
    latestPercent_ = percent;
    if (barShown_ &&
        (percent == shownPercent_ || (percent != 100 && now - lastDrawMs_ < kRedrawIntervalMs))) {
        return;
    }
    DrawBar(percent);
    shownPercent_ = percent;
    lastDrawMs_ = now;
}

void TerminalLog::DrawBar(int percent) {
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    char bar[kWidth + 1];
    std::memset(bar, '#', static_cast<size_t>(filled));
    std::memset(bar + filled, '.', static_cast<size_t>(kWidth - filled));
    bar[kWidth] = '\0';
    std::fprintf(out_, "\r[%s] %3d%%", bar, percent);
    std::fflush(out_);
    barShown_ = true;
}

void TerminalLog::EndProgress() {
    if (barShown_) {
        if (latestPercent_ != shownPercent_) {
            DrawBar(latestPercent_);  // the last state, held back by the interval
        }
        std::fputs("\n", out_);
        std::fflush(out_);
        barShown_ = false;
    }
}

#include "cli/TerminalLog.h"

#include <chrono>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "base/TextEscape.h"

TerminalLog* TerminalLog::current_ = nullptr;

TerminalLog::TerminalLog(FILE* out, bool showProgress, bool showLog, Clock clock)
    : out_(out), showProgress_(showProgress), showLog_(showLog), clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
    }
    line_.percent = -1;
    current_ = this;
}

TerminalLog::~TerminalLog() {
    EndProgress();
    if (current_ == this) {
        current_ = nullptr;
    }
}

int TerminalLog::LogSink(const char* text, int /*color*/) {
    if (current_ != nullptr && current_->showLog_) {
        current_->Write(text);
    }
    return 0;
}

int TerminalLog::ProgressSink(int percent) {
    if (current_ != nullptr && current_->showProgress_) {
        ProgressLine& line = current_->line_;
        if (percent == 0 && line.percent > 0) {
            current_->StartTransfer(current_->clock_());
        }
        line.percent = percent;
        if (line.totalEstimated || line.total < 0) {
            // A download tells only its percentage: the size follows from it.
            line.totalEstimated = percent < 100;
            line.total = percent > 0 && line.done >= 0 ? line.done * 100 / percent : -1;
        }
        current_->Progress();
    }
    return 0;
}

int TerminalLog::ByteProgressSink(int64_t done, int64_t total) {
    if (current_ != nullptr && current_->showProgress_) {
        ProgressLine& line = current_->line_;
        if (done < line.done) {
            current_->StartTransfer(current_->clock_());
        }
        line.done = done;
        if (total >= 0) {
            line.total = total;
            line.totalEstimated = false;
        }
    }
    return 0;
}

bool TerminalLog::ProgressShown() {
    return current_ != nullptr && current_->showProgress_;
}

void TerminalLog::FileStarting(const std::string& name, int index, int count) {
    if (current_ != nullptr) {
        current_->line_.name = QuoteForMessage(name);
        current_->line_.index = index;
        current_->line_.count = count;
        current_->StartTransfer(current_->clock_());
    }
}

void TerminalLog::Status(const std::string& text, bool last) {
    TerminalLog* self = current_;
    if (self == nullptr || !self->showProgress_) {
        return;
    }
    const int64_t now = self->clock_();
    if (!last && self->lineShown_ && now - self->lastDrawMs_ < kRedrawIntervalMs) {
        return;
    }
    std::fprintf(self->out_, "\r%s\033[K", EscapeControls(text).c_str());
    std::fflush(self->out_);
    self->lineShown_ = true;
    self->lastDrawMs_ = now;
}

void TerminalLog::ClearLine(FILE* out) {
    if (current_ != nullptr && current_->out_ == out) {
        current_->Wipe();
    }
}

void TerminalLog::StartTransfer(int64_t now) {
    startMs_ = now;
    line_.percent = -1;
    line_.done = -1;
    line_.total = -1;
    line_.totalEstimated = false;
}

void TerminalLog::Wipe() {
    if (lineShown_) {
        // It is drawn again at the next progress report.
        std::fputs("\r\033[K", out_);
        lineShown_ = false;
    }
}

void TerminalLog::Write(const char* text) {
    Wipe();
    std::fputs(EscapeLogText(text).c_str(), out_);
    std::fflush(out_);
}

void TerminalLog::Progress() {
    const int64_t now = clock_();
    const bool same = line_.percent == shownPercent_ && line_.done == shownDone_;
    if (lineShown_ && (same || (line_.percent != 100 && now - lastDrawMs_ < kRedrawIntervalMs))) {
        return;
    }
    Draw(now);
}

void TerminalLog::Draw(int64_t now) {
    line_.elapsedMs = now - startMs_;
    std::fprintf(out_, "\r%s\033[K", line_.Text().c_str());
    std::fflush(out_);
    lineShown_ = true;
    shownPercent_ = line_.percent;
    shownDone_ = line_.done;
    lastDrawMs_ = now;
}

void TerminalLog::EndProgress() {
    if (lineShown_) {
        if (line_.percent != shownPercent_ || line_.done != shownDone_) {
            Draw(clock_());  // the last state, held back by the interval
        }
        std::fputs("\n", out_);
        std::fflush(out_);
        lineShown_ = false;
    }
}

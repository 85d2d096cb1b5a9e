#include "tests/support/SinkRecorder.h"

#include "box/BoxSession.h"

SinkRecorder* SinkRecorder::current_ = nullptr;

SinkRecorder::SinkRecorder(BoxSession& session) {
    current_ = this;
    session.SetLogSink(&SinkRecorder::Log);
    session.SetProgressSink(&SinkRecorder::Progress);
}

SinkRecorder::~SinkRecorder() {
    current_ = nullptr;
}

std::string SinkRecorder::All() const {
    std::string all;
    for (const auto& l : lines) {
        all += l;
    }
    return all;
}

int SinkRecorder::Log(const char* text, int color) {
    if (current_ != nullptr) {
        current_->lines.emplace_back(text);
        current_->colors.push_back(color);
    }
    return 0;
}

int SinkRecorder::Progress(int percent) {
    if (current_ != nullptr) {
        current_->reports.push_back(percent);
    }
    return 0;
}

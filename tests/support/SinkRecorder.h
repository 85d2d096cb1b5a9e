#pragma once
// Records what a BoxSession logs and reports. The sinks are plain functions,
// so the one active recorder is reached through a static pointer.
#include <string>
#include <vector>

class BoxSession;

class SinkRecorder {
public:
    explicit SinkRecorder(BoxSession& session);
    ~SinkRecorder();
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;

    std::vector<std::string> lines;  // each logged text, as passed
    std::vector<int> colors;
    std::vector<int> reports;

    std::string All() const;  // every logged text, concatenated

private:
    static int Log(const char* text, int color);
    static int Progress(int percent);
    static SinkRecorder* current_;
};

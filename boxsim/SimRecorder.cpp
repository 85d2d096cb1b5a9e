#include "boxsim/SimRecorder.h"

#include <chrono>

void SimRecorder::SetEventSink(EventSink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

void SimRecorder::AddReceived(const uint8_t* data, size_t size) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.insert(received_.end(), data, data + size);
    }
    changed_.notify_all();
}

std::vector<uint8_t> SimRecorder::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void SimRecorder::ClearReceived() {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

void SimRecorder::Count(int BoxSimStats::*counter, const std::string& event) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++(stats_.*counter);
        NoteLocked(event);
    }
    changed_.notify_all();
}

void SimRecorder::Note(const std::string& event) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        NoteLocked(event);
    }
    changed_.notify_all();
}

void SimRecorder::AddRecordsSent(int count) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stats_.recordsSent += count;
    }
    changed_.notify_all();
}

void SimRecorder::NoteLocked(const std::string& event) {
    events_.push_back(event);
    if (sink_) {
        sink_(event);
    }
}

BoxSimStats SimRecorder::Stats() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stats_;
}

std::vector<std::string> SimRecorder::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

bool SimRecorder::WaitFor(const std::function<bool(const BoxSimStats&)>& condition,
                          int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return condition(stats_); });
}

bool SimRecorder::WaitForReceived(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return received_.size() >= count; });
}

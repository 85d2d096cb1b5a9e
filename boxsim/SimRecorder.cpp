#include "boxsim/SimRecorder.h"

#include <algorithm>
#include <chrono>

void SimRecorder::SetEventSink(EventSink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

void SimRecorder::SetRecording(bool enabled, size_t limit) {
    std::lock_guard<std::mutex> lock(mutex_);
    recording_ = enabled;
    recordLimit_ = limit;
}

void SimRecorder::AddReceived(const uint8_t* data, size_t size) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t room =
            recording_ ? recordLimit_ - std::min(recordLimit_, received_.size()) : 0;
        const size_t kept = std::min(room, size);
        received_.insert(received_.end(), data, data + kept);
        stats_.bytesNotRecorded += size - kept;
        if (kept == 0) {
            return;  // nothing that a waiter looks at has changed
        }
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
    received_.shrink_to_fit();
}

void SimRecorder::Count(int BoxSimStats::*counter, const std::string& event) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++(stats_.*counter);
        NoteLocked(event);
    }
    changed_.notify_all();
}

void SimRecorder::Notice(int BoxSimStats::*counter, const std::string& event) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++(stats_.*counter);
        NoteLocked(event, true);
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

void SimRecorder::NoteLocked(const std::string& event, bool notice) {
    if (events_.size() == kMaxEvents) {
        events_.pop_front();
    }
    events_.push_back(event);
    if (sink_) {
        sink_(event, notice);
    }
}

BoxSimStats SimRecorder::Stats() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return stats_;
}

std::vector<std::string> SimRecorder::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<std::string>(events_.begin(), events_.end());
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

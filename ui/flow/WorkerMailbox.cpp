#include "ui/flow/WorkerMailbox.h"

void WorkerMailbox::Post(WorkerEvent event) {
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        // The end is worth a wake-up of its own: the window may be pacing
        // itself, and must not leave the end waiting.
        const bool end = event.kind == WorkerEvent::Kind::kDone;
        wake = !awake_ || end;
        awake_ = true;
        endWaiting_ = endWaiting_ || end;
        events_.push_back(std::move(event));
    }
    if (wake && wake_) {
        wake_();
    }
}

bool WorkerMailbox::EndWaiting() {
    const std::lock_guard<std::mutex> lock(lock_);
    return endWaiting_;
}

std::vector<WorkerEvent> WorkerMailbox::Take() {
    const std::lock_guard<std::mutex> lock(lock_);
    awake_ = false;
    endWaiting_ = false;
    std::vector<WorkerEvent> taken;
    taken.swap(events_);
    return taken;
}

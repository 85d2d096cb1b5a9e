#include "ui/main/WorkerMailbox.h"

namespace {

// Progress alone is worth a wake-up only now and then: a transfer reports
// every block, and each wake-up is a message and a repaint for the window.
bool Urgent(WorkerEvent::Kind kind) {
    return kind != WorkerEvent::Kind::kBar && kind != WorkerEvent::Kind::kOverall;
}

}  // namespace

void WorkerMailbox::Post(WorkerEvent event) {
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        const auto now = std::chrono::steady_clock::now();
        wake = !awake_ && (Urgent(event.kind) || now - wokenAt_ >= kProgressWakeInterval);
        if (wake) {
            awake_ = true;
            wokenAt_ = now;
        }
        events_.push_back(std::move(event));
    }
    // One wake-up per batch: the window takes all that came meanwhile.
    if (wake && wake_) {
        wake_();
    }
}

std::vector<WorkerEvent> WorkerMailbox::Take() {
    const std::lock_guard<std::mutex> lock(lock_);
    awake_ = false;
    std::vector<WorkerEvent> taken;
    taken.swap(events_);
    return taken;
}

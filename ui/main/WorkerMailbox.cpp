#include "ui/main/WorkerMailbox.h"

void WorkerMailbox::Post(WorkerEvent event) {
    bool wasEmpty = false;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        wasEmpty = events_.empty();
        events_.push_back(std::move(event));
    }
    // One wake-up per batch: the window takes all that came meanwhile.
    if (wasEmpty && wake_) {
        wake_();
    }
}

std::vector<WorkerEvent> WorkerMailbox::Take() {
    const std::lock_guard<std::mutex> lock(lock_);
    std::vector<WorkerEvent> taken;
    taken.swap(events_);
    return taken;
}

#include "ui/flow/WorkerMailbox.h"

void WorkerMailbox::Post(WorkerEvent event) {
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        // The end is worth a wake-up of its own: the window may be pacing
        // itself, and must not leave the end waiting.
        const bool end = event.kind == WorkerEvent::Kind::kDone;
        wake = !m_bAwake || end;
        m_bAwake = true;
        m_bEndWaiting = m_bEndWaiting || end;
        m_events.push_back(std::move(event));
    }
    if (wake && m_wake) {
        m_wake();
    }
}

bool WorkerMailbox::EndWaiting() {
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_bEndWaiting;
}

std::vector<WorkerEvent> WorkerMailbox::Take() {
    const std::lock_guard<std::mutex> lock(m_lock);
    m_bAwake = false;
    m_bEndWaiting = false;
    std::vector<WorkerEvent> taken;
    taken.swap(m_events);
    return taken;
}

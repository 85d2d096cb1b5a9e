#pragma once
// What a worker thread tells the window's thread, kept in order under a lock:
// the worker posts, and a post wakes the window (a posted message) unless it
// was woken and has not taken yet; the window then takes everything at once,
// when it likes (it may pace itself), but the end wakes it in any case. The
// worker never waits for the window, so the window may wait for the worker.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/flow/BackupsFlow.h"

struct WorkerEvent {
    enum class Kind {
        kLog,      // text in colour `number`, for the log console
        kBar,      // the main window's bar at `number` percent
        kOverall,  // the operation's progress, `number` percent
        kFile,     // file `number` of `count`, named `text`, is worked on
        kFileRow,  // file row `number` now reads `row`
        kDone,     // the operation has ended; nothing follows
    };
    Kind kind = Kind::kDone;
    int number = 0;
    int count = 0;
    std::string text;
    FileStateRow row;
};

class WorkerMailbox {
public:
    // `wake`: called on the posting thread, without the lock held, when a
    // post wakes the window.
    explicit WorkerMailbox(std::function<void()> wake) : m_wake(std::move(wake)) {}
    WorkerMailbox(const WorkerMailbox&) = delete;
    WorkerMailbox& operator=(const WorkerMailbox&) = delete;

    void Post(WorkerEvent event);
    // Whether the worker's end is among what waits.
    bool EndWaiting();
    // Everything posted so far, in order; the mailbox is then empty.
    std::vector<WorkerEvent> Take();

private:
    std::mutex m_lock;
    std::vector<WorkerEvent> m_events;
    std::function<void()> m_wake;
    bool m_bAwake = false;  // woken, and not taken since
    bool m_bEndWaiting = false;
};

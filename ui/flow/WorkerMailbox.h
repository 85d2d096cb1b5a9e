#pragma once
// What a worker thread tells the window's thread, kept in order under a lock:
// the worker posts, and a post wakes the window (a posted message) unless it
// was woken and has not taken yet; the window then takes everything at once,
// when it likes (it may pace itself), but the end wakes it in any case. The
// worker never waits for the window, so the window may wait for the worker.
//
// Any worker's log lines and bar positions travel as they are; whatever else
// a worker reports (a backup's file rows, a search's answers) travels as a
// call that its owner's side made on the worker and that the window's thread
// runs, so that the mailbox knows no worker's types.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct WorkerEvent {
    enum class Kind {
        kLog,   // `text` in colour `number`, for the log console
        kBar,   // the main window's bar at `number` percent
        kCall,  // `call`, to be run on the window's thread
        kDone,  // the work has ended; nothing follows
    };
    Kind kind = Kind::kDone;
    int number = 0;
    std::string text;
    std::function<void()> call;

    static WorkerEvent Log(std::string text, int colorCode) {
        return {Kind::kLog, colorCode, std::move(text), {}};
    }
    static WorkerEvent Bar(int percent) { return {Kind::kBar, percent, {}, {}}; }
    static WorkerEvent Call(std::function<void()> call) {
        return {Kind::kCall, 0, {}, std::move(call)};
    }
    static WorkerEvent Done() { return {}; }
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

#pragma once
// What the substitute box saw and did, shared between its serving thread and
// the thread that asks (tests, the main's verbose output): counters, the
// latest event lines and, when asked for, the bytes received from the PC in
// order. Everything kept is bounded, so a box left running holds on to no
// more than a few megabytes whatever it is sent.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct BoxSimStats {
    int connectionsAccepted = 0;
    int connectionsEnded = 0;
    int loginsAccepted = 0;
    int loginsRefused = 0;     // wrong password or the refuse-login fault
    int loginsUnanswered = 0;  // the no-login-reply fault
    int lists = 0;
    int dumpsCompleted = 0;
    int dumpsRefused = 0;
    int dumpsBrokenOff = 0;  // the PC went away, or the close-after-records fault
    int recordsSent = 0;     // download records, all dumps together
    int uploadsStored = 0;
    int uploadsRefused = 0;
    int uploadsBrokenOff = 0;  // the PC went away or the file could not be stored
    int logouts = 0;
    int protocolErrors = 0;         // unknown command, malformed header, block or acknowledgement
    int idleDrops = 0;              // clients dropped for sending no request within the idle limit
    int updatesFailed = 0;          // the update-fails fault played
    int restarts = 0;               // after an update: every connection closed, listening again
    int restartsFailed = 0;         // could not listen again after an update
    uint64_t bytesNotRecorded = 0;  // received past the record's limit (or not asked to record)
};

class SimRecorder {
public:
    // Called with each event line, under the recorder's lock: it must not
    // call back into the recorder. `notice`: an event worth showing even
    // when the details are not asked for (the box dropped a client).
    using EventSink = std::function<void(const std::string& event, bool notice)>;

    SimRecorder() = default;
    SimRecorder(const SimRecorder&) = delete;
    SimRecorder& operator=(const SimRecorder&) = delete;

    // Event lines kept for Events(); older ones are dropped.
    static constexpr size_t kMaxEvents = 1000;

    void SetEventSink(EventSink sink);
    // Off by default: received bytes are then only counted. On: the first
    // `limit` bytes since the last clear are kept, the rest counted.
    void SetRecording(bool enabled, size_t limit);

    void AddReceived(const uint8_t* data, size_t size);
    std::vector<uint8_t> Received() const;
    void ClearReceived();

    // Adds one to a counter and records the event line.
    void Count(int BoxSimStats::*counter, const std::string& event);
    // Records an event line that no counter follows.
    void Note(const std::string& event);
    // Like Count, for an event that the sink shows as a notice.
    void Notice(int BoxSimStats::*counter, const std::string& event);
    void AddRecordsSent(int count);

    BoxSimStats Stats() const;
    std::vector<std::string> Events() const;

    // Waits until the condition holds on the counters; false on time-out.
    bool WaitFor(const std::function<bool(const BoxSimStats&)>& condition, int timeoutMs) const;
    // Waits until at least count bytes have been recorded since the last clear.
    bool WaitForReceived(size_t count, int timeoutMs) const;

private:
    void NoteLocked(const std::string& event, bool notice = false);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool recording_ = false;
    size_t recordLimit_ = 0;
    std::vector<uint8_t> received_;
    BoxSimStats stats_;
    std::deque<std::string> events_;
    EventSink sink_;
};

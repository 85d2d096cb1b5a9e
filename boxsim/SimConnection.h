#pragma once
// The substitute box's end of one accepted connection: whole messages in
// both directions, every wait cut into short slices so that a stop request
// is seen at once, every received byte handed to the recorder, and sent
// messages optionally split into small pieces with a pause between them.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "box/WireFormat.h"
#include "boxsim/SocketHandle.h"

class SimRecorder;

class SimConnection {
public:
    enum class Io { kOk, kClosed, kTimedOut, kStopped };

    // The socket is prepared for short bounded waits (net::UseBoundedWaits)
    // and small writes are sent at once (no coalescing).
    SimConnection(SocketHandle socket, const std::atomic<bool>* stop /* not owned */,
                  SimRecorder* recorder /* not owned */, size_t pieceSize, int pieceDelayMs);
    SimConnection(const SimConnection&) = delete;
    SimConnection& operator=(const SimConnection&) = delete;
    // Ends sending first, so the PC reads end of stream, then closes.
    ~SimConnection();

    // Waits until the PC sends something or goes away, at most idleLimitMs
    // (0: without a limit); kTimedOut when the limit passed.
    Io WaitForRequest(int idleLimitMs);
    // Reads exactly size bytes, all of them within timeoutMs.
    Io Receive(uint8_t* buffer, size_t size, int timeoutMs);
    // Sends all size bytes (in pieces when asked to) within timeoutMs.
    Io Send(const uint8_t* data, size_t size, int timeoutMs);

    template <size_t N>
    Io Receive(wire::Bytes<N>& message, int timeoutMs) {
        return Receive(message.data(), N, timeoutMs);
    }
    template <size_t N>
    Io Send(const wire::Bytes<N>& message, int timeoutMs) {
        return Send(message.data(), N, timeoutMs);
    }

    // Sleeps in short steps; false when a stop was requested meanwhile.
    bool Pause(int milliseconds) const;

private:
    bool Stopping() const { return stop_->load(); }
    Io SendAll(const uint8_t* data, size_t size, int64_t nowMs, int64_t deadlineMs);
    // Moves size bytes with repeated calls of step(done, waitMs), one send or
    // receive of the bytes from `done` on, waiting a slice at the most, until
    // deadlineMs; `nowMs` is the time now, read by the caller, and the clock
    // is read again only when more calls must follow (a message nearly
    // always moves in one).
    template <typename Step>
    Io MoveUntil(size_t size, int64_t nowMs, int64_t deadlineMs, Step step);

    SocketHandle socket_;
    const std::atomic<bool>* stop_;  // not owned
    SimRecorder* recorder_;          // not owned
    size_t pieceSize_;
    int pieceDelayMs_;
    int receiveTimeoutMs_ = 0;  // socket time-outs now set (see net::ReceiveWithinMs)
    int sendTimeoutMs_ = 0;
};

#pragma once
// The substitute box: listens on a TCP port and serves the box side of the
// command protocol from a folder, one client at a time, on a background
// thread. Further clients wait in the listen queue until the current one
// has gone. What it receives is recorded for tests when asked to
// (BoxSimOptions::recordReceived).
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "boxsim/BoxSimOptions.h"
#include "boxsim/SimRecorder.h"
#include "boxsim/SocketHandle.h"
#include "catalog/Manifest.h"

class BoxSimulator {
public:
    using EventSink = SimRecorder::EventSink;

    explicit BoxSimulator(BoxSimOptions options);
    ~BoxSimulator();  // stops
    BoxSimulator(const BoxSimulator&) = delete;
    BoxSimulator& operator=(const BoxSimulator&) = delete;

    // Checks the options, reads the manifest, listens, and serves on a
    // background thread. False with a readable reason when any step fails.
    bool Start(std::string* error);
    // The port actually listened on (after Start), also when 0 was asked for.
    uint16_t Port() const { return port_; }
    // Ends the current connection and the listener; returns once the serving
    // thread has ended. Safe to call more than once.
    void Stop();
    // True while the serving thread runs (it ends after maxConnections, or Stop).
    bool Running() const { return running_.load(); }

    // With recordReceived: the bytes received from any PC since the last
    // clear, in order, up to recordLimit; otherwise empty.
    std::vector<uint8_t> Received() const { return recorder_.Received(); }
    void ClearReceived() { recorder_.ClearReceived(); }
    BoxSimStats Stats() const { return recorder_.Stats(); }
    // One line per event: connections, each command and its outcome.
    std::vector<std::string> Events() const { return recorder_.Events(); }
    bool WaitFor(const std::function<bool(const BoxSimStats&)>& condition, int timeoutMs) const {
        return recorder_.WaitFor(condition, timeoutMs);
    }
    bool WaitForReceived(size_t count, int timeoutMs) const {
        return recorder_.WaitForReceived(count, timeoutMs);
    }
    // Receives each event line as it happens, on the serving thread; set
    // before Start.
    void SetEventSink(EventSink sink) { recorder_.SetEventSink(std::move(sink)); }

    const BoxSimOptions& Options() const { return options_; }
    const Manifest& Files() const { return manifest_; }

private:
    bool CheckOptions(std::string* error) const;
    void Serve();
    // After an update: nothing listens for the restart time, then the reset
    // groups are put back and the box listens again on the same port. False
    // when it is stopped meanwhile or cannot listen again.
    bool Restart();
    void ResetGroups();
    bool Listen(uint16_t port, std::string* error);

    const BoxSimOptions options_;
    Manifest manifest_;
    SimRecorder recorder_;
    SocketHandle listener_;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
};

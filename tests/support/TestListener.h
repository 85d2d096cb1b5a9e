#pragma once
// A program on a box's port that is no box, for the search's tests and
// bench: kSilent takes connections (the system's listen queue does) and
// never says a word, as a box busy with another client does; kNotABox
// answers every connection with a web server's error line and closes it;
// kBlackHole lets no connection through at all (its listen queue is full),
// so a connect to it waits out its time-out, as one to an address where no
// machine is.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "boxsim/SocketHandle.h"

class TestListener {
public:
    enum class Kind { kSilent, kNotABox, kBlackHole };
    static constexpr const char* kNotABoxAnswer = "HTTP/1.0 400 Bad Request\r\n\r\n";

    explicit TestListener(Kind kind) : kind_(kind) {}
    ~TestListener();
    TestListener(const TestListener&) = delete;
    TestListener& operator=(const TestListener&) = delete;

    // Listens on address:port (a loopback address; port 0 takes a free one);
    // false with the reason when it cannot.
    bool Start(const std::string& address, uint16_t port, std::string* error);
    uint16_t Port() const { return port_; }

private:
    void Answer();

    // Connects of its own until the queue holds no more; false when it
    // cannot be filled.
    bool FillQueue(const std::string& address, std::string* error);

    const Kind kind_;
    SocketHandle listener_;
    std::vector<SocketHandle> fillers_;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

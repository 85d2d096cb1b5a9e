#pragma once
// The box's side of the protocol with nothing but its messages: it accepts
// every login, answers a dump with as many records as the size that leads the
// requested name says ("1048576.bin": 1024 records), takes upload blocks until
// the last one, and ignores logout. Whole messages are sent and received with
// plain blocking calls; no select, no file I/O, no logging. Each connection is
// served on its own thread. Loopback only.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class BareBox {
public:
    BareBox() = default;
    ~BareBox();  // ends every connection and joins the threads
    BareBox(const BareBox&) = delete;
    BareBox& operator=(const BareBox&) = delete;

    bool Start(std::string* error);
    uint16_t Port() const { return port_; }

private:
    void Accept();
    void Serve(int fd);

    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<int> connections_;
    std::vector<std::thread> servers_;
};

#pragma once
// The one TCP connection to the box: no send or receive waits past its
// time-out, in whole seconds. A send that the socket can take at once goes
// straight out; otherwise it, and on Windows every receive, selects first.
#include <cstdint>
#include <mutex>
#include <string>

#include "box/NetApi.h"

class BoxSocket {
public:
    static constexpr int kDefaultConnectTimeoutMs = 20000;
    static constexpr int kDefaultIoTimeoutMs = 5000;

    BoxSocket() = default;
    ~BoxSocket();
    BoxSocket(const BoxSocket&) = delete;
    BoxSocket& operator=(const BoxSocket&) = delete;

    // Connects to host:port (host null: the previous host and port again).
    // The connect waits at most timeoutMs; a negative one takes the default
    // of 20000 ms.
    bool Connect(const char* host, int port, int timeoutMs);
    int Close();
    // From another thread: breaks off the send or receive under way (and every
    // later one) without closing, so that the thread using the socket finds
    // the link lost and closes it itself.
    void Interrupt();
    // One send() of the whole length: the count sent, 0 when the socket did not
    // become writable in time, -1 on an error.
    int Send(const void* bytes, int length, int timeoutMs);
    // One recv() of up to length bytes: the count received, 0 on time-out or
    // when the box closed the connection, -1 on an error.
    int Receive(void* buffer, int length, int timeoutMs);
    // 1 ready; 0 time-out with a positive time-out; -1 time-out with a time-out
    // of 0 or less, or an error. The time-out is applied in whole seconds.
    int WaitReady(bool forReading, int timeoutMs);

    bool IsConnected() const { return connected_; }
    // Why the last Connect failed, for a person ("Connection refused", "no
    // answer within 20 s"); empty after one that succeeded.
    const std::string& ConnectError() const { return connectError_; }
    int Port() const { return port_; }
    // The socket itself (not owned by the caller), for looking at its options.
    net::Handle NativeHandle() const { return handle_; }
    const std::string& Host() const { return host_; }
    int IoTimeoutMs() const { return ioTimeoutMs_; }
    void SetIoTimeoutMs(int ms) { ioTimeoutMs_ = ms; }
    // A receive waits its time-out in whole seconds, so that on POSIX the
    // socket's time-out rarely changes and costs no call of its own; a
    // search that waits half a second for each of many addresses asks for
    // the exact milliseconds instead.
    void UseExactWaits() { exactWaits_ = true; }

private:
    int port_ = 0;
    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
    int ioTimeoutMs_ = kDefaultIoTimeoutMs;
    bool connected_ = false;
    net::Handle handle_ = net::kInvalidHandle;
    std::mutex handleLock_;  // handle_ changes and Interrupt, which may come from another thread
    std::string host_;
    std::string connectError_;
    bool hasHost_ = false;
    bool exactWaits_ = false;
    int receiveTimeoutMs_ = 0;  // receive time-out now set on handle_ (0: none)
};

#pragma once
// The fuzzer's end of a real loopback TCP connection: it plays a box's byte
// stream at the PC side and then ends sending, so that every read past the
// stream meets end of stream at once instead of waiting for a time-out.
// POSIX only, like the fuzzer itself.
#include <cstddef>
#include <cstdint>
#include <string>

class LoopbackBox {
public:
    LoopbackBox() = default;
    ~LoopbackBox();
    LoopbackBox(const LoopbackBox&) = delete;
    LoopbackBox& operator=(const LoopbackBox&) = delete;

    // Listens on 127.0.0.1 at a free port.
    bool Listen(std::string* error);
    int Port() const { return port_; }

    // Takes the connection that the PC side has just made.
    bool Accept();
    // Sends the stream and ends sending; returns the count sent, which is
    // short only when the socket buffers could not hold the whole stream.
    size_t Play(const uint8_t* data, size_t size);
    // Reads and discards what the PC side has sent so far, without waiting,
    // so that its sends never block on a full buffer.
    void Drain();
    // Ends the connection with a reset, which leaves no TIME_WAIT entry
    // behind; thousands of connections a second would otherwise use up the
    // loopback's port range.
    void Abort();

private:
    int listener_ = -1;
    int peer_ = -1;
    int port_ = 0;
};

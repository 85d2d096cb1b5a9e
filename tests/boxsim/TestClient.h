#pragma once
// A raw TCP client on 127.0.0.1 for driving the substitute box byte by byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "box/WireFormat.h"
#include "boxsim/SocketHandle.h"
#include "tests/support/ScriptedBox.h"

class TestClient {
public:
    bool Connect(uint16_t port);
    bool Send(const void* data, size_t size);
    bool Send(const std::vector<uint8_t>& bytes) { return Send(bytes.data(), bytes.size()); }
    template <size_t N>
    bool Send(const wire::Bytes<N>& message) {
        return Send(message.data(), N);
    }
    // Reads exactly size bytes unless the time-out passes or the box closes;
    // returns what came.
    std::vector<uint8_t> Receive(size_t size, int timeoutMs = 5000);
    template <size_t N>
    bool Receive(wire::Bytes<N>& message, int timeoutMs = 5000) {
        const std::vector<uint8_t> got = Receive(N, timeoutMs);
        std::copy(got.begin(), got.end(), message.begin());
        return got.size() == N;
    }
    // One receive call of up to size bytes once data is there; what it returned.
    std::vector<uint8_t> ReceiveOnce(size_t size, int timeoutMs = 5000);
    // True when the box ends the connection within the time-out without
    // sending anything more.
    bool ClosedWithoutMoreData(int timeoutMs = 5000);
    // True when nothing arrives (and the connection stays open) for this long.
    bool QuietFor(int milliseconds);
    void ShutdownSend();
    void Close() { socket_.Reset(); }

    // The login request: header and payload with the password.
    bool SendLogin(const char* password);
    // Logs in and checks for the accepting reply.
    bool Login(const char* password);

private:
    SocketHandle socket_;
};

// A message's bytes as a vector, for comparisons.
template <size_t N>
std::vector<uint8_t> ToVector(const wire::Bytes<N>& b) {
    return std::vector<uint8_t>(b.begin(), b.end());
}

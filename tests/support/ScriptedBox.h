#pragma once
// A box that follows a script over real loopback TCP and records every byte
// the PC sent it, per connection. Each accepted connection runs the next
// script; after its last step the box keeps reading until the PC closes.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "box/NetApi.h"

class ScriptedBox {
public:
    using Bytes = std::vector<uint8_t>;

    ScriptedBox();
    ~ScriptedBox();
    ScriptedBox(const ScriptedBox&) = delete;
    ScriptedBox& operator=(const ScriptedBox&) = delete;

    uint16_t Port() const { return port_; }

    // Script building; steps go to the current connection's script.
    ScriptedBox& Read(size_t count);
    ScriptedBox& Write(const Bytes& bytes, size_t pieceSize = 0);
    template <size_t N>
    ScriptedBox& Write(const std::array<uint8_t, N>& bytes, size_t pieceSize = 0) {
        return Write(Bytes(bytes.begin(), bytes.end()), pieceSize);
    }
    ScriptedBox& Close();
    ScriptedBox& NextConnection();
    // An accepted login, then a list reply of these names, all in one group
    // and of one type.
    ScriptedBox& LoginAndList(const char* group, std::initializer_list<const char*> names,
                              int32_t type);
    // An accepted login, then a list reply of this payload as it stands
    // (a count or names no well-behaved box sends).
    ScriptedBox& LoginAndList(const Bytes& listPayload);

    void Start();
    // Before Start: whether a connection waits to be accepted.
    bool HasWaitingConnection() const;
    // Waits for every scripted connection to end; returns what each received.
    std::vector<Bytes> Finish();
    // All bytes received on the first connection (after Finish).
    Bytes FirstReceived();

private:
    struct Step {
        enum Kind { kRead, kWrite, kClose } kind;
        size_t count = 0;
        Bytes bytes;
        size_t pieceSize = 0;
    };
    void Serve();
    void RunScript(net::Handle h, const std::vector<Step>& script, Bytes* received);

    net::Handle listener_ = net::kInvalidHandle;
    uint16_t port_ = 0;
    std::vector<std::vector<Step>> scripts_{1};
    std::vector<Bytes> received_;
    std::thread thread_;
    bool finished_ = false;
};

// A loopback port with nothing listening: bound once, noted, closed.
uint16_t ClosedLoopbackPort();

// Concatenates messages into one byte string.
ScriptedBox::Bytes Concat(std::initializer_list<ScriptedBox::Bytes> parts);
template <size_t N>
ScriptedBox::Bytes B(const std::array<uint8_t, N>& a) {
    return ScriptedBox::Bytes(a.begin(), a.end());
}

#include "TestClient.h"

#include <chrono>

namespace {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool TestClient::Connect(uint16_t port) {
    net::Startup();
    socket_ = SocketHandle(net::OpenStream(0));
    uint32_t address = 0;
    if (!socket_.IsValid() || !net::ResolveIPv4("127.0.0.1", &address)) {
        return false;
    }
    const net::ConnectResult r = net::ConnectIPv4(socket_.Get(), address, port);
    bool connected = r == net::ConnectResult::kConnected;
    if (r == net::ConnectResult::kInProgress && net::WaitConnectedMs(socket_.Get(), 5000) > 0) {
        int error = -1;
        connected = net::PendingError(socket_.Get(), &error) && error == 0;
    }
    net::SetBlocking(socket_.Get(), true);
    return connected;
}

bool TestClient::Send(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    size_t sent = 0;
    while (sent < size) {
        if (net::SelectOneMs(socket_.Get(), false, 5000) <= 0) {
            return false;
        }
        const int n = net::SendSome(socket_.Get(), p + sent, static_cast<int>(size - sent));
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::vector<uint8_t> TestClient::Receive(size_t size, int timeoutMs) {
    const int64_t deadline = NowMs() + timeoutMs;
    std::vector<uint8_t> got;
    while (got.size() < size) {
        const int64_t left = deadline - NowMs();
        if (left <= 0) {
            break;
        }
        std::vector<uint8_t> piece = ReceiveOnce(size - got.size(), static_cast<int>(left));
        if (piece.empty()) {
            break;
        }
        got.insert(got.end(), piece.begin(), piece.end());
    }
    return got;
}

std::vector<uint8_t> TestClient::ReceiveOnce(size_t size, int timeoutMs) {
    std::vector<uint8_t> buffer(size);
    if (net::SelectOneMs(socket_.Get(), true, timeoutMs) <= 0) {
        return {};
    }
    const int n = net::ReceiveSome(socket_.Get(), buffer.data(), static_cast<int>(size));
    buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return buffer;
}

bool TestClient::ClosedWithoutMoreData(int timeoutMs) {
    if (net::SelectOneMs(socket_.Get(), true, timeoutMs) <= 0) {
        return false;
    }
    uint8_t byte = 0;
    return net::ReceiveSome(socket_.Get(), &byte, 1) <= 0;
}

bool TestClient::QuietFor(int milliseconds) {
    return net::SelectOneMs(socket_.Get(), true, milliseconds) == 0;
}

void TestClient::ShutdownSend() {
    net::ShutdownSend(socket_.Get());
}

bool TestClient::SendLogin(const char* password) {
    return Send(wire::EncodeRequestHeader({wire::kCmdLogin, wire::kLoginPayloadSize})) &&
           Send(wire::EncodeLoginPayload(password));
}

bool TestClient::Login(const char* password) {
    wire::Bytes<wire::kReplySize> reply{};
    return SendLogin(password) && Receive(reply) && reply[5] == wire::kStatusAccepted;
}

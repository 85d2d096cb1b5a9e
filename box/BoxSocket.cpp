#include "box/BoxSocket.h"

#include "box/HostAddress.h"

namespace {

constexpr int kMsPerSecond = 1000;

// "20 s", or "500 ms" for a wait that is no whole number of seconds.
std::string WaitText(int milliseconds) {
    return milliseconds % kMsPerSecond == 0 ? std::to_string(milliseconds / kMsPerSecond) + " s"
                                            : std::to_string(milliseconds) + " ms";
}

}  // namespace

BoxSocket::~BoxSocket() {
    if (handle_ != net::kInvalidHandle) {
        net::CloseHandle(handle_);
    }
}

int BoxSocket::WaitReady(bool forReading, int timeoutMs) {
    const int r = net::SelectOne(handle_, forReading, timeoutMs / 1000);
    if (r > 0) {
        return 1;
    }
    if (r < 0) {
        return -1;
    }
    return timeoutMs > 0 ? 0 : -1;
}

int BoxSocket::Send(const void* bytes, int length, int timeoutMs) {
    if (timeoutMs < 0) {
        timeoutMs = ioTimeoutMs_;
    }
    // The socket can nearly always take a message at once, and then a select
    // first would cost as much as the send itself.
    if (timeoutMs >= 0 && handle_ != net::kInvalidHandle) {
        const int r = net::SendNow(handle_, bytes, length);
        if (r != net::kNotReady) {
            return r;
        }
    }
    int r = WaitReady(false, timeoutMs);
    if (r > 0) {
        r = net::SendSome(handle_, bytes, length);
    }
    return r;
}

int BoxSocket::Receive(void* buffer, int length, int timeoutMs) {
    if (timeoutMs < 0) {
        timeoutMs = ioTimeoutMs_;
    }
    // One receive bounded by the whole seconds of the time-out, as
    // WaitReady would wait, without a separate select where the platform
    // allows it.
    if (timeoutMs >= 0 && handle_ != net::kInvalidHandle) {
        const int wait = exactWaits_ ? timeoutMs : timeoutMs / kMsPerSecond * kMsPerSecond;
        const int r = net::ReceiveWithinMs(handle_, buffer, length, wait, &receiveTimeoutMs_);
        if (r != net::kNotReady) {
            return r;
        }
        return timeoutMs > 0 ? 0 : -1;
    }
    int r = WaitReady(true, timeoutMs);
    if (r > 0) {
        r = net::ReceiveSome(handle_, buffer, length);
    }
    return r;
}

bool BoxSocket::Connect(const char* host, int port, int timeoutMs) {
    Close();
    if (host != nullptr) {
        host_ = host;
        hasHost_ = true;
        port_ = port;
    }
    if (timeoutMs < 0) {
        timeoutMs = connectTimeoutMs_;
    }
    int protocol = net::ProtocolNumber("tcp");
    if (protocol < 0) {
        protocol = 0;
    }
    {
        const std::lock_guard<std::mutex> lock(handleLock_);
        handle_ = net::OpenStream(protocol);
    }
    receiveTimeoutMs_ = 0;
    uint32_t address = 0;
    connectError_.clear();
    if (!hasHost_ || !net::ResolveIPv4(host_.c_str(), &address)) {
        const HostAddress typed(host_);
        connectError_ = typed.IsValid() ? "cannot resolve the address" : typed.Problem();
        return false;
    }
    // The attempt is bounded by the connect time-out rather than by the
    // platform's own, which can run for minutes on an unreachable address.
    switch (net::ConnectIPv4(handle_, address, static_cast<uint16_t>(port_))) {
        case net::ConnectResult::kConnected:
            connected_ = true;
            break;
        case net::ConnectResult::kInProgress: {
            int error = 0;
            const int ready = net::WaitConnectedMs(handle_, timeoutMs);
            if (ready == 0) {
                connectError_ = "no answer within " + WaitText(timeoutMs);
            } else if (ready < 0 || !net::PendingError(handle_, &error)) {
                connectError_ = net::ErrorText(net::LastError());
            } else if (error != 0) {
                connectError_ = net::ErrorText(error);
            } else {
                connected_ = true;
            }
            break;
        }
        case net::ConnectResult::kFailed:
            connectError_ = net::ErrorText(net::LastError());
            break;
    }
    if (connected_) {
        net::UseBoundedWaits(handle_);
        // Requests go out as two small sends (head, then name or password);
        // without this the second waits for the box's delayed acknowledgement.
        net::SetNoDelay(handle_, true);
        return true;
    }
    Close();
    return false;
}

int BoxSocket::Close() {
    const std::lock_guard<std::mutex> lock(handleLock_);
    const int r = net::CloseHandle(handle_);
    handle_ = net::kInvalidHandle;
    connected_ = false;
    return r;
}

void BoxSocket::Interrupt() {
    const std::lock_guard<std::mutex> lock(handleLock_);
    if (handle_ != net::kInvalidHandle) {
        net::ShutdownBoth(handle_);
    }
}

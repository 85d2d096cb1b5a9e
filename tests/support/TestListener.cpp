#include "tests/support/TestListener.h"

#include <cstring>

namespace {

// A silent listener's queue holds every connection of a test's search.
constexpr int kBacklog = 64;
// How often the answering loop looks at a stop request.
constexpr int kStopLookMs = 20;
// A black hole's queue: the system takes one connection more than this.
constexpr int kBlackHoleBacklog = 0;
constexpr int kMostFillers = 8;
// A filler that does not connect within this is one the queue refused.
constexpr int kFillerWaitMs = 100;

}  // namespace

TestListener::~TestListener() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool TestListener::Start(const std::string& address, uint16_t port, std::string* error) {
    int code = 0;
    const int backlog = kind_ == Kind::kBlackHole ? kBlackHoleBacklog : kBacklog;
    listener_ = SocketHandle(net::Listen(address.c_str(), port, backlog, &code));
    if (!listener_.IsValid()) {
        *error = "cannot listen on " + address + ":" + std::to_string(port) + ": " +
                 net::ErrorText(code);
        return false;
    }
    port_ = net::LocalPort(listener_.Get());
    if (kind_ == Kind::kNotABox) {
        thread_ = std::thread([this] { Answer(); });
    }
    return kind_ != Kind::kBlackHole || FillQueue(address, error);
}

bool TestListener::FillQueue(const std::string& address, std::string* error) {
    uint32_t netOrder = 0;
    net::ResolveIPv4(address.c_str(), &netOrder);
    while (fillers_.size() < kMostFillers) {
        SocketHandle filler(net::OpenStream(0));
        const net::ConnectResult r = net::ConnectIPv4(filler.Get(), netOrder, port_);
        const bool through = r == net::ConnectResult::kConnected ||
                             (r == net::ConnectResult::kInProgress &&
                              net::WaitConnectedMs(filler.Get(), kFillerWaitMs) > 0);
        if (!through) {
            return true;  // the queue is full: this one would wait in vain
        }
        fillers_.push_back(std::move(filler));
    }
    *error = "the listen queue of " + address + " takes every connection";
    return false;
}

void TestListener::Answer() {
    while (!stop_) {
        if (net::SelectOneMs(listener_.Get(), true, kStopLookMs) <= 0) {
            continue;
        }
        const SocketHandle client(net::Accept(listener_.Get()));
        if (client.IsValid()) {
            net::SendSome(client.Get(), kNotABoxAnswer,
                          static_cast<int>(std::strlen(kNotABoxAnswer)));
            net::ShutdownSend(client.Get());
        }
    }
}

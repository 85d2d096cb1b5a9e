#include "fuzz/LoopbackBox.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "base/RetryInterrupted.h"

namespace {

// Room for the largest fuzz input in the kernel's buffers, so that the whole
// stream is written before the PC side reads any of it.
constexpr int kSendBufferBytes = 1 << 20;

}  // namespace

LoopbackBox::~LoopbackBox() {
    Abort();
    if (listener_ >= 0) {
        close(listener_);
    }
}

bool LoopbackBox::Listen(std::string* error) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    // Accepted sockets inherit the buffer size.
    setsockopt(listener_, SOL_SOCKET, SO_SNDBUF, &kSendBufferBytes, sizeof kSendBufferBytes);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        *error = std::string("listen on 127.0.0.1: ") + std::strerror(errno);
        return false;
    }
    port_ = ntohs(sa.sin_port);
    return true;
}

bool LoopbackBox::Accept() {
    Abort();
    peer_ = RetryInterrupted([this] { return accept(listener_, nullptr, nullptr); });
    if (peer_ < 0) {
        return false;
    }
    const int flags = fcntl(peer_, F_GETFL, 0);
    fcntl(peer_, F_SETFL, flags | O_NONBLOCK);
    return true;
}

size_t LoopbackBox::Play(const uint8_t* data, size_t size) {
    size_t sent = 0;
    while (sent < size) {
        const ssize_t r =
            RetryInterrupted([&] { return send(peer_, data + sent, size - sent, MSG_NOSIGNAL); });
        if (r <= 0) {
            break;
        }
        sent += static_cast<size_t>(r);
    }
    shutdown(peer_, SHUT_WR);
    return sent;
}

void LoopbackBox::Drain() {
    uint8_t sink[4096];
    while (RetryInterrupted([&] { return recv(peer_, sink, sizeof sink, MSG_DONTWAIT); }) > 0) {
    }
}

void LoopbackBox::Abort() {
    if (peer_ < 0) {
        return;
    }
    const linger reset{1, 0};
    setsockopt(peer_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(peer_);
    peer_ = -1;
}

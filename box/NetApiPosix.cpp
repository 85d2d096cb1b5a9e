#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "base/RetryInterrupted.h"
#include "box/HostAddress.h"
#include "box/NetApi.h"
#include "box/NetSocketAddress.h"

namespace net {

namespace {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int Startup() {
    return 0;
}

Handle OpenStream(int protocol) {
    // Not inherited: a program started meanwhile must not hold the link open.
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, protocol);
    return fd < 0 ? kInvalidHandle : fd;
}

int CloseHandle(Handle h) {
    return close(static_cast<int>(h));
}

std::string DottedIPv4(uint32_t addressNetOrder) {
    in_addr a{};
    a.s_addr = addressNetOrder;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

ConnectResult ConnectIPv4(Handle h, uint32_t addressNetOrder, uint16_t port) {
    const sockaddr_in sa = SocketAddressIPv4(addressNetOrder, port);
    SetBlocking(h, false);
    if (connect(static_cast<int>(h), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
        return ConnectResult::kConnected;
    }
    // An interrupted connect goes on in the background, as a started one does.
    return errno == EINPROGRESS || errno == EINTR ? ConnectResult::kInProgress
                                                  : ConnectResult::kFailed;
}

void SetBlocking(Handle h, bool on) {
    const int fd = static_cast<int>(h);
    const int flags = fcntl(fd, F_GETFL, 0);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, on ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
    }
}

int WaitConnectedMs(Handle h, int milliseconds) {
    return SelectOneMs(h, false, milliseconds);
}

bool PendingError(Handle h, int* error) {
    socklen_t len = sizeof *error;
    return getsockopt(static_cast<int>(h), SOL_SOCKET, SO_ERROR, error, &len) == 0;
}

int SendSome(Handle h, const void* data, int length) {
    // MSG_NOSIGNAL: a peer that has gone away is an error result, not a signal.
    return static_cast<int>(
        RetryInterrupted([&] { return send(static_cast<int>(h), data, length, MSG_NOSIGNAL); }));
}

int ReceiveSome(Handle h, void* buffer, int length) {
    return static_cast<int>(
        RetryInterrupted([&] { return recv(static_cast<int>(h), buffer, length, 0); }));
}

int SendNow(Handle h, const void* data, int length) {
    const int n = static_cast<int>(RetryInterrupted(
        [&] { return send(static_cast<int>(h), data, length, MSG_NOSIGNAL | MSG_DONTWAIT); }));
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) ? kNotReady : n;
}

namespace {

// Sets SO_RCVTIMEO or SO_SNDTIMEO unless it already has that value; false
// when it cannot be set.
bool ApplyTimeout(int fd, int option, int milliseconds, int* appliedMs) {
    if (*appliedMs == milliseconds) {
        return true;
    }
    timeval tv{milliseconds / 1000, (milliseconds % 1000) * 1000};
    if (setsockopt(fd, SOL_SOCKET, option, &tv, sizeof tv) != 0) {
        return false;
    }
    *appliedMs = milliseconds;
    return true;
}

// One receive or send (`transfer`, called with its flags) that waits at most
// milliseconds, by the socket's time-out `option`; one cut short by a signal
// is made again with what is left of the time.
template <typename Transfer>
int TransferWithinMs(int fd, int option, int flags, int milliseconds, int* appliedMs,
                     Transfer transfer) {
    if (milliseconds <= 0) {
        const ssize_t n = RetryInterrupted([&] { return transfer(flags | MSG_DONTWAIT); });
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) ? kNotReady : static_cast<int>(n);
    }
    const int64_t deadline = NowMs() + milliseconds;
    for (int64_t left = milliseconds; left > 0; left = deadline - NowMs()) {
        if (!ApplyTimeout(fd, option, static_cast<int>(left), appliedMs)) {
            return -1;
        }
        const ssize_t n = transfer(flags);
        if (n >= 0) {
            return static_cast<int>(n);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return kNotReady;
        }
        if (errno != EINTR) {
            return -1;
        }
    }
    return kNotReady;
}

}  // namespace

int ReceiveWithinMs(Handle h, void* buffer, int length, int milliseconds, int* appliedMs) {
    const int fd = static_cast<int>(h);
    return TransferWithinMs(fd, SO_RCVTIMEO, 0, milliseconds, appliedMs,
                            [&](int flags) { return recv(fd, buffer, length, flags); });
}

int SendWithinMs(Handle h, const void* data, int length, int milliseconds, int* appliedMs) {
    const int fd = static_cast<int>(h);
    return TransferWithinMs(fd, SO_SNDTIMEO, MSG_NOSIGNAL, milliseconds, appliedMs,
                            [&](int flags) { return send(fd, data, length, flags); });
}

void UseBoundedWaits(Handle h) {
    SetBlocking(h, true);
}

int HostName(char* buffer, int size) {
    return gethostname(buffer, size);
}

int LastError() {
    return errno;
}

Handle Listen(const char* address, uint16_t port, int backlog, int* errorOut) {
    // Not inherited: a program started meanwhile would keep the port taken.
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *errorOut = errno;
        return kInvalidHandle;
    }
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const HostAddress typed(address);
    if (!typed.IsIPv4()) {
        *errorOut = EINVAL;
        close(fd);
        return kInvalidHandle;
    }
    const sockaddr_in sa = SocketAddressIPv4(typed.IPv4NetOrder(), port);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(fd, backlog) != 0) {
        *errorOut = errno;
        close(fd);
        return kInvalidHandle;
    }
    *errorOut = 0;
    return fd;
}

uint16_t LocalPort(Handle h) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (getsockname(static_cast<int>(h), reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        return 0;
    }
    return ntohs(sa.sin_port);
}

Handle Accept(Handle listener) {
    const int fd = RetryInterrupted(
        [&] { return accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC); });
    return fd < 0 ? kInvalidHandle : fd;
}

void ShutdownSend(Handle h) {
    shutdown(static_cast<int>(h), SHUT_WR);
}

void ShutdownBoth(Handle h) {
    shutdown(static_cast<int>(h), SHUT_RDWR);
}

void SetNoDelay(Handle h, bool on) {
    const int v = on ? 1 : 0;
    setsockopt(static_cast<int>(h), IPPROTO_TCP, TCP_NODELAY, &v, sizeof v);
}

bool NoDelayIsOn(Handle h) {
    int v = 0;
    socklen_t len = sizeof v;
    return getsockopt(static_cast<int>(h), IPPROTO_TCP, TCP_NODELAY, &v, &len) == 0 && v != 0;
}

int SelectOneMs(Handle h, bool forReading, int milliseconds) {
    if (h < 0 || h >= FD_SETSIZE) {
        errno = EBADF;
        return -1;
    }
    const int fd = static_cast<int>(h);
    const int64_t deadline = NowMs() + std::max(milliseconds, 0);
    return RetryInterrupted([&] {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        const int64_t left = std::max<int64_t>(deadline - NowMs(), 0);
        timeval tv{static_cast<time_t>(left / 1000), static_cast<suseconds_t>(left % 1000 * 1000)};
        return select(fd + 1, forReading ? &set : nullptr, forReading ? nullptr : &set, nullptr,
                      &tv);
    });
}

bool LastErrorWasWouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

}  // namespace net

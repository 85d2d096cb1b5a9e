#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "box/HostAddress.h"
#include "box/NetApi.h"
#include "box/NetSocketAddress.h"

namespace net {

namespace {

SOCKET S(Handle h) {
    return static_cast<SOCKET>(h);
}

// A socket that a program started meanwhile does not inherit: it would hold
// the link open, or keep a listening port taken.
SOCKET NotInherited(SOCKET s) {
    if (s != INVALID_SOCKET) {
        SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    }
    return s;
}

}  // namespace

int Startup() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 0), &data);
}

Handle OpenStream(int protocol) {
    const SOCKET s = NotInherited(socket(AF_INET, SOCK_STREAM, protocol));
    return s == INVALID_SOCKET ? kInvalidHandle : static_cast<Handle>(s);
}

int CloseHandle(Handle h) {
    return closesocket(S(h));
}

std::string DottedIPv4(uint32_t addressNetOrder) {
    in_addr a{};
    a.s_addr = addressNetOrder;
    const char* text = inet_ntoa(a);
    return text != nullptr ? text : "";
}

ConnectResult ConnectIPv4(Handle h, uint32_t addressNetOrder, uint16_t port) {
    const sockaddr_in sa = SocketAddressIPv4(addressNetOrder, port);
    SetBlocking(h, false);
    if (connect(S(h), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
        return ConnectResult::kConnected;
    }
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS ? ConnectResult::kInProgress
                                                              : ConnectResult::kFailed;
}

void SetBlocking(Handle h, bool on) {
    u_long nonBlocking = on ? 0 : 1;
    ioctlsocket(S(h), FIONBIO, &nonBlocking);
}

int WaitConnectedMs(Handle h, int milliseconds) {
    // Winsock reports a failed connection attempt in the exception set only.
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(S(h), &writable);
    FD_SET(S(h), &failed);
    const int ms = milliseconds > 0 ? milliseconds : 0;
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return select(0, nullptr, &writable, &failed, &tv);
}

bool PendingError(Handle h, int* error) {
    int len = sizeof *error;
    return getsockopt(S(h), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(error), &len) == 0;
}

int SendSome(Handle h, const void* data, int length) {
    return send(S(h), static_cast<const char*>(data), length, 0);
}

int ReceiveSome(Handle h, void* buffer, int length) {
    return recv(S(h), static_cast<char*>(buffer), length, 0);
}

int SendNow(Handle h, const void* data, int length) {
    // The socket of a connection is non-blocking here (UseBoundedWaits).
    const int n = SendSome(h, data, length);
    return n < 0 && WSAGetLastError() == WSAEWOULDBLOCK ? kNotReady : n;
}

// Under Wine every select is a round trip to its server, and by the time a
// request's answer is asked for it has mostly come: the call is made first,
// and only a socket that is not ready is waited for.
int ReceiveWithinMs(Handle h, void* buffer, int length, int milliseconds, int*) {
    const int n = ReceiveSome(h, buffer, length);
    if (n >= 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
        return n;
    }
    const int ready = SelectOneMs(h, true, milliseconds);
    if (ready <= 0) {
        return ready < 0 ? -1 : kNotReady;
    }
    return ReceiveSome(h, buffer, length);
}

int SendWithinMs(Handle h, const void* data, int length, int milliseconds, int*) {
    const int n = SendNow(h, data, length);
    if (n != kNotReady) {
        return n;
    }
    const int ready = SelectOneMs(h, false, milliseconds);
    if (ready <= 0) {
        return ready < 0 ? -1 : kNotReady;
    }
    return SendSome(h, data, length);
}

void UseBoundedWaits(Handle h) {
    SetBlocking(h, false);
}

int HostName(char* buffer, int size) {
    return gethostname(buffer, size);
}

int LastError() {
    return WSAGetLastError();
}

Handle Listen(const char* address, uint16_t port, int backlog, int* errorOut) {
    const SOCKET s = NotInherited(socket(AF_INET, SOCK_STREAM, 0));
    if (s == INVALID_SOCKET) {
        *errorOut = WSAGetLastError();
        return kInvalidHandle;
    }
    // inet_addr would take "127.0.0.010" as 127.0.0.8.
    const HostAddress typed(address);
    if (!typed.IsIPv4()) {
        *errorOut = WSAEINVAL;
        closesocket(s);
        return kInvalidHandle;
    }
    const sockaddr_in sa = SocketAddressIPv4(typed.IPv4NetOrder(), port);
    if (bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(s, backlog) != 0) {
        *errorOut = WSAGetLastError();
        closesocket(s);
        return kInvalidHandle;
    }
    *errorOut = 0;
    return static_cast<Handle>(s);
}

uint16_t LocalPort(Handle h) {
    sockaddr_in sa{};
    int len = sizeof sa;
    if (getsockname(S(h), reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        return 0;
    }
    return ntohs(sa.sin_port);
}

Handle Accept(Handle listener) {
    const SOCKET s = NotInherited(accept(S(listener), nullptr, nullptr));
    return s == INVALID_SOCKET ? kInvalidHandle : static_cast<Handle>(s);
}

void ShutdownSend(Handle h) {
    shutdown(S(h), SD_SEND);
}

void ShutdownBoth(Handle h) {
    shutdown(S(h), SD_BOTH);
}

void SetNoDelay(Handle h, bool on) {
    const BOOL v = on ? TRUE : FALSE;
    setsockopt(S(h), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&v), sizeof v);
}

bool NoDelayIsOn(Handle h) {
    BOOL v = FALSE;
    int len = sizeof v;
    return getsockopt(S(h), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<char*>(&v), &len) == 0 &&
           v != FALSE;
}

int SelectOneMs(Handle h, bool forReading, int milliseconds) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(S(h), &set);
    const int ms = milliseconds > 0 ? milliseconds : 0;
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return select(0, forReading ? &set : nullptr, forReading ? nullptr : &set, nullptr, &tv);
}

bool LastErrorWasWouldBlock() {
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

std::string ErrorText(int error) {
    char text[256] = {};
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    std::string result(text, n);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.')) {
        result.pop_back();
    }
    return result.empty() ? "socket error " + std::to_string(error) : result;
}

}  // namespace net

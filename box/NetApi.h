#pragma once
// The socket library seam: Winsock 2 on Windows, POSIX sockets elsewhere.
// Everything above it (transport, protocol, substitute box) is portable.
#include <cstdint>
#include <string>

namespace net {

using Handle = intptr_t;
constexpr Handle kInvalidHandle = -1;

// Starts the socket library (Winsock 2.0); returns its error code, 0 on success.
int Startup();

// Protocol number of a protocol name, or -1 when the lookup fails.
int ProtocolNumber(const char* name);
// A new IPv4 stream socket, or kInvalidHandle.
Handle OpenStream(int protocol);
int CloseHandle(Handle h);

// First IPv4 address of a host name or dotted address, in network order.
bool ResolveIPv4(const char* host, uint32_t* addressNetOrder);
// Every IPv4 address of a host name, dotted; false when the lookup fails.
bool ResolveAllIPv4(const char* host, std::string* firstDotted, bool* hasAddress);
std::string DottedIPv4(uint32_t addressNetOrder);

enum class ConnectResult { kConnected, kInProgress, kFailed };
// Starts a connection on a socket switched to non-blocking mode, so that the
// caller can bound the wait; SetBlocking(true) restores the normal mode, and
// UseBoundedWaits the one that BoxSocket's bounded sends and receives need.
ConnectResult ConnectIPv4(Handle h, uint32_t addressNetOrder, uint16_t port);
void SetBlocking(Handle h, bool on);
// Waits milliseconds for a started connection to succeed or fail: 1 when it
// has done either, 0 on time-out, -1 on error.
int WaitConnectedMs(Handle h, int milliseconds);
// The socket's pending error (SO_ERROR); false when it cannot be read.
bool PendingError(Handle h, int* error);

// select() on one handle for reading or writing, waiting whole seconds.
int SelectOne(Handle h, bool forReading, long seconds);
int SendSome(Handle h, const void* data, int length);
int ReceiveSome(Handle h, void* buffer, int length);

// What the calls below return when the socket did not become ready in time.
constexpr int kNotReady = -2;
// One send that never waits, on a socket prepared by UseBoundedWaits: the
// count sent, kNotReady when the socket cannot take a byte now, -1 on an error.
int SendNow(Handle h, const void* data, int length);
// One receive or send that waits at most milliseconds for the socket (0 or
// less: does not wait): the count, 0 when the peer closed (receive),
// kNotReady on time-out, -1 on an error; the socket is prepared by
// UseBoundedWaits. On POSIX the wait is the kernel's socket time-out on a
// blocking socket, set only when it changes (*appliedMs, 0 for a new socket),
// so it costs no select. On Windows, where Winsock leaves a socket whose
// receive timed out in an undefined state, the socket is non-blocking: the
// call is tried, and a select waits only when it would block.
int ReceiveWithinMs(Handle h, void* buffer, int length, int milliseconds, int* appliedMs);
int SendWithinMs(Handle h, const void* data, int length, int milliseconds, int* appliedMs);
// Puts a connected socket in the mode that ReceiveWithinMs and SendWithinMs
// expect when every wait must stay short: blocking on POSIX (the time-outs
// bound it), non-blocking on Windows (a send never waits past its select).
void UseBoundedWaits(Handle h);

int HostName(char* buffer, int size);
int LastError();

// Server side, for the substitute box and tests.
Handle Listen(const char* address, uint16_t port, int backlog, int* errorOut);
uint16_t LocalPort(Handle h);
Handle Accept(Handle listener);
// Ends sending on a connected socket (the peer then reads end of stream).
void ShutdownSend(Handle h);
// Ends sending and receiving: a send or receive blocked in another thread
// returns at once, and every later one fails.
void ShutdownBoth(Handle h);
// Enables or disables small-write coalescing (Nagle) on a connected socket.
void SetNoDelay(Handle h, bool on);
bool NoDelayIsOn(Handle h);
// select() on one handle waiting milliseconds, so that a serving loop can
// look at a stop request between short waits.
int SelectOneMs(Handle h, bool forReading, int milliseconds);
// True when the last failed send or receive on a non-blocking socket only
// means "not now" (would block, or interrupted).
bool LastErrorWasWouldBlock();
// A readable text for a socket error code.
std::string ErrorText(int error);

}  // namespace net

#pragma once
// The IPv4 socket address that connect and bind take, built the same on both
// socket libraries.
#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#endif

#include <cstdint>

namespace net {

// addressNetOrder in network order, port in host order.
sockaddr_in SocketAddressIPv4(uint32_t addressNetOrder, uint16_t port);

}  // namespace net

// Host names to IPv4 addresses, the same on both socket libraries.
#ifdef _WIN32
#include <winsock2.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <cstring>

#include "box/NetApi.h"

namespace net {

bool ResolveIPv4(const char* host, uint32_t* addressNetOrder) {
    const hostent* he = gethostbyname(host);
    if (he == nullptr || he->h_addrtype != AF_INET || he->h_addr_list[0] == nullptr) {
        return false;
    }
    std::memcpy(addressNetOrder, he->h_addr_list[0], 4);
    return true;
}

bool ResolveAllIPv4(const char* host, std::string* firstDotted, bool* hasAddress) {
    const hostent* he = gethostbyname(host);
    if (he == nullptr) {
        return false;
    }
    *hasAddress = he->h_addr_list[0] != nullptr;
    if (*hasAddress) {
        uint32_t a;
        std::memcpy(&a, he->h_addr_list[0], 4);
        *firstDotted = DottedIPv4(a);
    }
    return true;
}

}  // namespace net

// Host names to IPv4 addresses, the same on both socket libraries. Only a
// real host name reaches the resolver: a dotted address is read here, and a
// numeric-looking text in another form (which gethostbyname would take as
// octal or hex) is refused, so no lookup goes elsewhere than what was typed.
#ifdef _WIN32
#include <winsock2.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <cstring>

#include "box/HostAddress.h"
#include "box/NetApi.h"

namespace net {

bool ResolveIPv4(const char* host, uint32_t* addressNetOrder) {
    const HostAddress address(host);
    if (!address.IsValid()) {
        return false;
    }
    if (address.IsIPv4()) {
        *addressNetOrder = address.IPv4NetOrder();
        return true;
    }
    const hostent* he = gethostbyname(address.Text().c_str());
    if (he == nullptr || he->h_addrtype != AF_INET || he->h_addr_list[0] == nullptr) {
        return false;
    }
    std::memcpy(addressNetOrder, he->h_addr_list[0], 4);
    return true;
}

bool ResolveAllIPv4(const char* host, std::string* firstDotted, bool* hasAddress) {
    const HostAddress address(host);
    if (!address.IsValid()) {
        return false;
    }
    if (address.IsIPv4()) {
        *firstDotted = DottedIPv4(address.IPv4NetOrder());
        *hasAddress = true;
        return true;
    }
    const hostent* he = gethostbyname(address.Text().c_str());
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

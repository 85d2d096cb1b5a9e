// Host and protocol names to numbers, the same on both socket libraries. Only a
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

namespace {

// False when `host` is refused or cannot be looked up; otherwise *hasAddress
// tells whether it has an IPv4 address, the first one in *first.
bool LookUp(const char* host, uint32_t* first, bool* hasAddress) {
    const HostAddress address(host);
    if (!address.IsValid()) {
        return false;
    }
    if (address.IsIPv4()) {
        *first = address.IPv4NetOrder();
        *hasAddress = true;
        return true;
    }
    const hostent* he = gethostbyname(address.Text().c_str());
    if (he == nullptr) {
        return false;
    }
    *hasAddress = he->h_addrtype == AF_INET && he->h_addr_list[0] != nullptr;
    if (*hasAddress) {
        std::memcpy(first, he->h_addr_list[0], 4);
    }
    return true;
}

}  // namespace

bool ResolveIPv4(const char* host, uint32_t* addressNetOrder) {
    bool hasAddress = false;
    return LookUp(host, addressNetOrder, &hasAddress) && hasAddress;
}

bool ResolveAllIPv4(const char* host, std::string* firstDotted, bool* hasAddress) {
    uint32_t first = 0;
    if (!LookUp(host, &first, hasAddress)) {
        return false;
    }
    if (*hasAddress) {
        *firstDotted = DottedIPv4(first);
    }
    return true;
}

int ProtocolNumber(const char* name) {
    const protoent* p = getprotobyname(name);
    return p != nullptr ? p->p_proto : -1;
}

}  // namespace net

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <bit>
#include <memory>

#include "discovery/LocalInterfaces.h"

std::vector<LocalInterface> ListLocalInterfaces() {
    std::vector<LocalInterface> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return found;
    }
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, freeifaddrs);
    for (const ifaddrs* ifa = list; ifa != nullptr; ifa = ifa->ifa_next) {
        if (ifa->ifa_addr == nullptr || ifa->ifa_netmask == nullptr ||
            ifa->ifa_addr->sa_family != AF_INET || (ifa->ifa_flags & IFF_UP) == 0) {
            continue;
        }
        const auto* address = reinterpret_cast<const sockaddr_in*>(ifa->ifa_addr);
        const auto* mask = reinterpret_cast<const sockaddr_in*>(ifa->ifa_netmask);
        LocalInterface itf;
        itf.name = ifa->ifa_name != nullptr ? ifa->ifa_name : "";
        itf.address = ntohl(address->sin_addr.s_addr);
        itf.prefixLength = std::popcount(ntohl(mask->sin_addr.s_addr));
        found.push_back(itf);
    }
    return found;
}

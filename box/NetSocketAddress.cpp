#include "box/NetSocketAddress.h"

namespace net {

sockaddr_in SocketAddressIPv4(uint32_t addressNetOrder, uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = addressNetOrder;
    return sa;
}

}  // namespace net

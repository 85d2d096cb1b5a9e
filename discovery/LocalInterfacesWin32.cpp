// winsock2.h before iphlpapi.h, which includes windows.h.
#include <winsock2.h>

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <vector>

#include "discovery/LocalInterfaces.h"

namespace {

// Enough for the adapters of nearly every PC at the first call; the call
// says how much it needs when it is not.
constexpr ULONG kFirstBufferSize = 16 * 1024;
constexpr int kAttempts = 3;

std::string Utf8(const wchar_t* text) {
    if (text == nullptr) {
        return "";
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) {
        return "";
    }
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

}  // namespace

std::vector<LocalInterface> ListLocalInterfaces() {
    std::vector<LocalInterface> found;
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = kFirstBufferSize;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < kAttempts && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result = GetAdaptersAddresses(
            AF_INET, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR) {
        return found;
    }
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         adapter != nullptr; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp) {
            continue;
        }
        for (const IP_ADAPTER_UNICAST_ADDRESS* u = adapter->FirstUnicastAddress; u != nullptr;
             u = u->Next) {
            const SOCKADDR* sa = u->Address.lpSockaddr;
            if (sa == nullptr || sa->sa_family != AF_INET) {
                continue;
            }
            LocalInterface itf;
            itf.name = Utf8(adapter->FriendlyName);
            itf.address = ntohl(reinterpret_cast<const sockaddr_in*>(sa)->sin_addr.s_addr);
            itf.prefixLength = u->OnLinkPrefixLength;
            found.push_back(itf);
        }
    }
    return found;
}

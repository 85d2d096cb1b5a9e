#include "box/NetworkIdentity.h"

#include "box/NetApi.h"

int GetLocalHostName(std::string* text) {
    char buffer[256] = {};
    if (net::HostName(buffer, sizeof buffer - 1) != 0) {
        *text = "Not available";
        return net::LastError();
    }
    *text = buffer;
    return 0;
}

int GetHostAddress(const char* name, std::string* text) {
    std::string dotted;
    bool hasAddress = false;
    if (!net::ResolveAllIPv4(name, &dotted, &hasAddress)) {
        text->clear();
        const int error = net::LastError();
        return error != 0 ? error : -1;
    }
    if (!hasAddress) {
        return 0;
    }
    *text = dotted.empty() ? "Not available" : dotted;
    return 0;
}

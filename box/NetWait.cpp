// Waits on one socket, the same on both socket libraries.
#include <algorithm>
#include <limits>

#include "box/NetApi.h"

namespace net {

int SelectOne(Handle h, bool forReading, long seconds) {
    if (seconds < 0) {
        return -1;  // select() rejects a negative time value
    }
    const long most = std::numeric_limits<int>::max() / 1000;
    return SelectOneMs(h, forReading, static_cast<int>(std::min(seconds, most) * 1000));
}

}  // namespace net

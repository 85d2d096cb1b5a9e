#pragma once
// The PC's side of the protocol with nothing but its messages: login, and
// the message exchange of a dump or an upload, sent and received whole with
// plain blocking calls; no select, no file I/O, no logging. Loopback only.
#include <cstdint>
#include <string>

#include "bench/Stopwatch.h"

class BareClient {
public:
    BareClient() = default;
    ~BareClient();
    BareClient(const BareClient&) = delete;
    BareClient& operator=(const BareClient&) = delete;

    // Connects (TCP_NODELAY, like the real link) and logs in.
    bool Open(uint16_t port, const char* password, std::string* error);

    // One dump exchange: request, reply, then records each answered by an
    // acknowledgement until the last. A negative time on a failure.
    Cost Download(const char* name);
    // One upload exchange of a file of that size: request, reply, then
    // size / 1024 + 1 blocks (the last one short) each answered by a reply.
    Cost Upload(const char* name, uint64_t size);

private:
    int fd_ = -1;
};

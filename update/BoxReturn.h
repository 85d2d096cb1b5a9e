#pragma once
// Waiting for a box that restarts: connect and log in again at a steady
// pace until it answers or the bound is reached, with the password it was
// given and no other. A refused password ends the wait at once: trying it
// again would change nothing, and no other is ever tried.
#include <string>
#include <vector>

#include "box/WireFormat.h"
#include "update/UpdateOutcome.h"

class BoxSession;
class UpdateReport;

// How to reach the box: the address, port and password the user gave.
struct BoxLink {
    std::string host;
    int port = 0;
    std::string password;
};

class BoxReturn {
public:
    // `boundSeconds`: the longest wait in all; `retryMs`: from the start of
    // one attempt to the start of the next.
    BoxReturn(BoxLink link, int boundSeconds, int retryMs);

    // On the session's socket: kBack with the box's list in `listed` (the
    // session logged in), or why not (kNeverBack, kPasswordRefused,
    // kNeedsNewerTool, kNoList, kStopped). Between attempts it reports the
    // time waited and asks whether to stop.
    StepOutcome Wait(BoxSession& session, std::vector<wire::ListRecord>* listed,
                     UpdateReport& report) const;

private:
    BoxLink link_;
    int boundSeconds_;
    int retryMs_;
};

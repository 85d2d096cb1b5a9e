#pragma once
// The search for boxes over a made-up LAN on loopback (tests/support's
// LanRig): a /24 with five boxes, three silent listeners and the rest
// refusing, searched with a login; and a /24 where every address lets no
// connection through, whose cost is bounded by the time-out and the limit.
#include <memory>
#include <string>

#include "discovery/FindSettings.h"

class LanRig;
class TempDir;

class FindBench {
public:
    static constexpr int kHostsOfSlash24 = 254;

    struct Run {
        double seconds = -1;  // negative: the search did not find what is there
        size_t boxes = 0;
        size_t busy = 0;
        size_t answered = 0;
    };

    FindBench();
    ~FindBench();
    FindBench(const FindBench&) = delete;
    FindBench& operator=(const FindBench&) = delete;

    // Starts both networks; false with the reason.
    bool Start(std::string* error);
    Run SearchLan(std::string* error) const;
    Run SearchSilent(std::string* error) const;

    static constexpr size_t kBoxes = 5;
    static constexpr size_t kSilent = 3;
    static constexpr const char* kLanRange = "127.0.90.0/24";
    static constexpr const char* kSilentRange = "127.0.91.0/24";

private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<LanRig> lan_;
    std::unique_ptr<LanRig> silent_;
};

#include "bench/FindBench.h"

#include "bench/Stopwatch.h"
#include "box/BoxDefaults.h"
#include "discovery/BoxSearch.h"
#include "discovery/SearchRanges.h"
#include "tests/support/LanRig.h"
#include "tests/support/TempDir.h"

namespace {

FindBench::Run Search(const char* range, uint16_t port, bool login, std::string* error) {
    SearchRanges ranges;
    if (ranges.Read({range}, false, error) != SearchRanges::Problem::kNone) {
        return {};
    }
    FindSettings settings;  // the default time-out and limit
    settings.port = port;
    settings.login = login;
    settings.password = box_defaults::kPassword;
    const Stopwatch watch;
    const std::vector<FindResult> results = BoxSearch(settings).Run(ranges.Addresses());
    FindBench::Run run;
    run.seconds = watch.Elapsed().wall;
    for (const FindResult& r : results) {
        run.boxes += r.kind == FindResult::Kind::kBox ? 1 : 0;
        run.busy += r.kind == FindResult::Kind::kBusy ? 1 : 0;
        run.answered += r.Answered() ? 1 : 0;
    }
    return run;
}

}  // namespace

FindBench::FindBench() = default;
FindBench::~FindBench() = default;

bool FindBench::Start(std::string* error) {
    dir_ = std::make_unique<TempDir>();
    lan_ = std::make_unique<LanRig>(dir_->Path() / "box");
    for (size_t i = 1; i <= kBoxes; ++i) {
        if (!lan_->AddBox("127.0.90." + std::to_string(i * 10), {}, error)) {
            return false;
        }
    }
    for (size_t i = 1; i <= kSilent; ++i) {
        const std::string address = "127.0.90." + std::to_string(100 + i * 10);
        if (!lan_->AddListener(address, TestListener::Kind::kSilent, error)) {
            return false;
        }
    }
    silent_ = std::make_unique<LanRig>(dir_->Path() / "box");
    for (int i = 1; i <= FindBench::kHostsOfSlash24; ++i) {
        const std::string address = "127.0.91." + std::to_string(i);
        if (!silent_->AddListener(address, TestListener::Kind::kBlackHole, error)) {
            return false;
        }
    }
    return true;
}

FindBench::Run FindBench::SearchLan(std::string* error) const {
    Run run = Search(kLanRange, lan_->Port(), true, error);
    if (run.boxes != kBoxes || run.busy != kSilent || run.answered != kBoxes + kSilent) {
        *error = "the search of " + std::string(kLanRange) + " found " + std::to_string(run.boxes) +
                 " box(es) and " + std::to_string(run.busy) + " silent listener(s) of " +
                 std::to_string(kBoxes) + " and " + std::to_string(kSilent);
        run.seconds = -1;
    }
    return run;
}

FindBench::Run FindBench::SearchSilent(std::string* error) const {
    Run run = Search(kSilentRange, silent_->Port(), false, error);
    if (run.answered != 0) {
        *error = std::to_string(run.answered) + " address(es) of " + kSilentRange +
                 " answered, where none lets a connection through";
        run.seconds = -1;
    }
    return run;
}

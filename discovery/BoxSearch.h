#pragma once
// A search for boxes over many addresses: each address asked by an
// AddressProbe, at most FindSettings::parallel of them at once (each on a
// worker of its own, every wait bounded by the time-out), the results in
// address order however they arrived. Stop, from any thread, ends it early:
// no address is asked after it, and those under way end within their
// time-out.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "discovery/FindResult.h"
#include "discovery/FindSettings.h"

class BoxSearch {
public:
    // Called after each address, on the worker that asked it, one call at a
    // time: addresses done, of all, and how many of them answered.
    using Progress = std::function<void(size_t done, size_t total, size_t answered)>;

    // The detail of an address a stopped search never asked.
    static constexpr const char* kNotTried = "not tried: the search was stopped";

    explicit BoxSearch(FindSettings settings) : settings_(std::move(settings)) {}
    void SetProgress(Progress progress) { progress_ = std::move(progress); }

    // One result per address, in the order of `addresses`; after a Stop,
    // those not asked are kNothing with kNotTried.
    std::vector<FindResult> Run(const std::vector<uint32_t>& addresses) const;
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }

private:
    FindSettings settings_;
    Progress progress_;
    std::atomic<bool> stopped_{false};
};

#pragma once
// A search for boxes over many addresses: each address asked by an
// AddressProbe, at most FindSettings::parallel of them at once (each on a
// worker of its own, every wait bounded by the time-out), the results in
// address order however they arrived.
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

    explicit BoxSearch(FindSettings settings) : settings_(std::move(settings)) {}
    void SetProgress(Progress progress) { progress_ = std::move(progress); }

    // One result per address, in the order of `addresses`.
    std::vector<FindResult> Run(const std::vector<uint32_t>& addresses) const;

private:
    FindSettings settings_;
    Progress progress_;
};

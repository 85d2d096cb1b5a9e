#include "discovery/BoxSearch.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "discovery/AddressProbe.h"

std::vector<FindResult> BoxSearch::Run(const std::vector<uint32_t>& addresses) const {
    std::vector<FindResult> results(addresses.size());
    for (size_t i = 0; i < addresses.size(); ++i) {
        results[i].address = addresses[i];
        results[i].detail = kNotTried;
    }
    const AddressProbe probe(settings_);
    std::atomic<size_t> next{0};
    std::mutex progressLock;
    size_t done = 0;
    size_t answered = 0;
    const auto work = [&] {
        for (size_t i = next++; i < addresses.size() && !stopped_; i = next++) {
            results[i] = probe.Probe(addresses[i]);
            const std::lock_guard<std::mutex> lock(progressLock);
            ++done;
            answered += results[i].Answered() ? 1 : 0;
            if (progress_) {
                progress_(done, addresses.size(), answered);
            }
        }
    };
    const size_t wanted =
        std::min<size_t>(static_cast<size_t>(std::max(settings_.parallel, 1)), addresses.size());
    std::vector<std::thread> workers;
    try {
        while (workers.size() < wanted) {
            workers.emplace_back(work);
        }
    } catch (const std::system_error&) {
        // Fewer workers than asked: those there take the rest.
    }
    if (workers.empty()) {
        work();
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return results;
}

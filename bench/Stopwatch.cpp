#include "bench/Stopwatch.h"

#include <time.h>

namespace {

// All threads of the process, counted by the scheduler to the nanosecond.
double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

Stopwatch::Stopwatch()
    : wallStart_(std::chrono::steady_clock::now()), cpuStart_(ProcessCpuSeconds()) {}

Cost Stopwatch::Elapsed() const {
    const double cpu = ProcessCpuSeconds() - cpuStart_;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart_).count();
    return {wall, cpu};
}

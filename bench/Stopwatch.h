#pragma once
// What one measured operation cost: the time that passed and the CPU time
// that this program's threads used meanwhile. In the benchmark both ends of
// a transfer are threads of this program, so the CPU time is the work of the
// whole exchange; unlike the time that passed, it leaves out the waits for a
// CPU (other programs running, an idle CPU woken for every message), which
// differ from run to run by far more than any change to the code.
#include <chrono>

struct Cost {
    double wall = 0;  // seconds; negative: the operation failed
    double cpu = 0;   // seconds
};

class Stopwatch {
public:
    Stopwatch();  // starts it
    Cost Elapsed() const;

private:
    std::chrono::steady_clock::time_point wallStart_;
    double cpuStart_ = 0;
};

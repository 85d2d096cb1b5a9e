#pragma once
// Keeps this thread, and every thread it starts while this lives, on the one
// CPU it runs on now. Both ends of a lock-step exchange then hand each block
// over on that CPU: on two CPUs the scheduler places the two threads anew on
// every run, and a hand-over between CPUs (waking the other one) costs up to
// twice the CPU time of the exchange itself, so the runs of a row swung by
// that much. The place before is given back when this goes. Never copied.
#include <sched.h>

class OneCpu {
public:
    OneCpu();
    ~OneCpu();
    OneCpu(const OneCpu&) = delete;
    OneCpu& operator=(const OneCpu&) = delete;

    // The CPU kept to, or -1 when this system would not keep the thread to one.
    int Cpu() const { return cpu_; }

private:
    cpu_set_t before_{};
    bool saved_ = false;
    int cpu_ = -1;
};

#include "bench/OneCpu.h"

OneCpu::OneCpu() {
    saved_ = sched_getaffinity(0, sizeof before_, &before_) == 0;
    const int cpu = sched_getcpu();
    if (!saved_ || cpu < 0) {
        return;
    }
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    if (sched_setaffinity(0, sizeof one, &one) == 0) {
        cpu_ = cpu;
    }
}

OneCpu::~OneCpu() {
    if (saved_ && cpu_ >= 0) {
        sched_setaffinity(0, sizeof before_, &before_);
    }
}

#pragma once

#include <time.h>

// CPU time of the calling thread, in seconds: the benchmarks' own work, whatever else the machine runs.
inline double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

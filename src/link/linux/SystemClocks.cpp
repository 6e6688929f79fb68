#include "ResumeDetector.h"

#include <time.h>

namespace {
qint64 readMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<qint64>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
} // namespace

ResumeDetector::Clocks ResumeDetector::systemClocks() {
    return {[] { return readMs(CLOCK_BOOTTIME); },
            [] {
                return readMs(CLOCK_MONOTONIC);
            }};
}

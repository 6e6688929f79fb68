#include "ResumeDetector.h"

#include <windows.h>

// GetTickCount64 runs on while the system sleeps; the unbiased interrupt time (100 ns units)
// leaves the sleep out.
ResumeDetector::Clocks ResumeDetector::systemClocks() {
    return {[] { return static_cast<qint64>(GetTickCount64()); },
            [] {
                ULONGLONG units = 0;
                QueryUnbiasedInterruptTime(&units);
                return static_cast<qint64>(units / 10000);
            }};
}

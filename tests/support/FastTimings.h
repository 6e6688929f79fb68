#pragma once

#include "LinkController.h"

// The link's intervals and time-outs shortened so that the timers' rules run in a test's time:
// polling every 100 ms, the watchdog every 300 ms, drains ending after 200 ms (connecting) or
// 100 ms (polling) of silence, no look for a sleeping computer. A test that needs one of them
// longer or shorter changes it on the copy it gets; the limit of a connection drain stays the
// program's unless a test shortens it.
inline LinkTimings fastTimings() {
    LinkTimings timings;
    timings.pollIntervalMs = 100;
    timings.watchdogIntervalMs = 300;
    timings.connectReadTimeoutMs = 200;
    timings.pollReadTimeoutMs = 100;
    timings.connectTimeoutMs = 1000;
    timings.resumeCheckIntervalMs = 0;
    return timings;
}

#pragma once

#include <QString>
#include <cstdio>

// One short line on stderr per event, so a person can watch the simulator at work.
inline void logEvent(const QString &text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

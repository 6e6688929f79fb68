#pragma once

#include <QMap>
#include <QString>
#include <sys/types.h>

// What a running process costs, read from outside through /proc, so that the figures are the
// program's as users run it (no instrumentation inside it).
namespace ProcessStats {

struct Sample {
    qint64 cpuNs = 0; // time on a CPU of every thread, as the scheduler counts it
    // The same per thread name (threads of one name added up).
    QMap<QString, qint64> cpuNsByThreadName;
    // Context switches per thread (voluntary + involuntary): every one is a wake-up after it.
    QMap<int, qint64> switchesByThread;
};

Sample sample(pid_t pid);
// Wake-ups between two samples: the switches of threads seen in both, and all of a new thread's.
qint64 wakeUpsBetween(const Sample &before, const Sample &after);
// CPU time between two samples of the threads with this name.
qint64 threadCpuNsBetween(const Sample &before, const Sample &after, const QString &threadName);

// Resident memory now and its peak since the start or the last resetPeak(), in KiB.
qint64 residentKb(pid_t pid);
qint64 peakResidentKb(pid_t pid);
// Starts the peak anew from the current figure (/proc/PID/clear_refs).
bool resetPeak(pid_t pid);

// Shared libraries mapped into the process: distinct files whose name holds ".so".
int sharedLibraryCount(pid_t pid);

// Bytes received on the loopback connection to localPort that the process has not read yet
// (/proc/net/tcp), or -1 when no such connection is found.
qint64 unreadBytesFrom(quint16 localPort);

} // namespace ProcessStats

#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// Notices that the computer was asleep. Two clocks are read at every check: one that runs on
// while the system is suspended and one that stops meanwhile (on Linux CLOCK_BOOTTIME and
// CLOCK_MONOTONIC). When the first has run ahead of the second by more than the threshold since
// the last check, the system slept in between and resumed() is emitted. A periodic check needs
// no session bus or power-management service and works the same under every desktop.
class ResumeDetector : public QObject {
    Q_OBJECT
public:
    struct Clocks {
        std::function<qint64()> withSleepMs;    // runs on during a suspend
        std::function<qint64()> withoutSleepMs; // stops during a suspend
    };
    // The clocks of this system (implemented per operating system).
    static Clocks systemClocks();

    static constexpr int kDefaultCheckIntervalMs = 5000;
    static constexpr int kDefaultThresholdMs = 3000;

    explicit ResumeDetector(Clocks clocks, int checkIntervalMs = kDefaultCheckIntervalMs,
                            int thresholdMs = kDefaultThresholdMs, QObject *parent = nullptr);

    // Compares the clocks now; run by the timer.
    void check();

signals:
    void resumed();

private:
    Clocks m_clocks;
    int m_thresholdMs;
    qint64 m_lastWithSleep;
    qint64 m_lastWithoutSleep;
    QTimer m_timer;
};

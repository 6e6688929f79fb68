#include "ResumeDetector.h"

ResumeDetector::ResumeDetector(Clocks clocks, int checkIntervalMs, int thresholdMs, QObject *parent)
    : QObject(parent), m_clocks(std::move(clocks)), m_thresholdMs(thresholdMs), m_lastWithSleep(m_clocks.withSleepMs()),
      m_lastWithoutSleep(m_clocks.withoutSleepMs()) {
    connect(&m_timer, &QTimer::timeout, this, &ResumeDetector::check);
    m_timer.start(checkIntervalMs);
}

void ResumeDetector::check() {
    const qint64 withSleep = m_clocks.withSleepMs();
    const qint64 withoutSleep = m_clocks.withoutSleepMs();
    const qint64 slept = (withSleep - m_lastWithSleep) - (withoutSleep - m_lastWithoutSleep);
    m_lastWithSleep = withSleep;
    m_lastWithoutSleep = withoutSleep;
    if (slept > m_thresholdMs)
        emit resumed();
}

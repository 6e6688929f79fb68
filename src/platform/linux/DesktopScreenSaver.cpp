#include "DesktopScreenSaver.h"

#include <QCursor>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QProcess>

namespace {
struct Call {
    const char *method;
    QVariantList arguments;
};

// The bus calls of each wish, in order, and the helper's command when they fail.
QList<Call> callsOf(bool activate) {
    if (activate)
        return {{"SetActive", {true}}};
    return {{"SetActive", {false}}, {"SimulateUserActivity", {}}};
}

QString fallbackCommand(bool activate) {
    return activate ? QStringLiteral("activate") : QStringLiteral("reset");
}
} // namespace

DesktopScreenSaver::DesktopScreenSaver(QDBusConnection bus, QString fallbackProgram, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)), m_fallbackProgram(std::move(fallbackProgram)) {
    m_interval.setSingleShot(true);
    connect(&m_interval, &QTimer::timeout, this, &DesktopScreenSaver::next);
}

DesktopScreenSaver::~DesktopScreenSaver() {
    if (m_process) {
        // The program ends: a helper still running is stopped rather than left behind. A killed
        // process is gone at once, so this wait is for the kernel's bookkeeping only.
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

void DesktopScreenSaver::activate() {
    want(Wish::Activate);
}

void DesktopScreenSaver::deactivate() {
    // The pointer moves at once: no process and no call, and it is what ends the screen saver on a
    // desktop that has neither the service nor the helper.
    QCursor::setPos(1, 1);
    want(Wish::Deactivate);
}

void DesktopScreenSaver::want(Wish wish) {
    m_waiting = wish;
    next();
}

void DesktopScreenSaver::next() {
    if (m_busy || !m_waiting || m_interval.isActive())
        return;
    const Wish wish = *m_waiting;
    m_waiting.reset();
    m_busy = true;
    if (!m_bus.isConnected()) {
        runFallback(wish);
        return;
    }
    callService(wish, 0);
}

void DesktopScreenSaver::callService(Wish wish, int step) {
    const QList<Call> calls = callsOf(wish == Wish::Activate);
    if (step >= calls.size()) {
        done();
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QString::fromLatin1(calls[step].method));
    call.setArguments(calls[step].arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, wish, step](QDBusPendingCallWatcher *answered) {
        answered->deleteLater();
        if (!answered->isError()) {
            callService(wish, step + 1);
            return;
        }
        // The helper serves the newest wish: one that came meanwhile makes this one stale.
        const Wish newest = m_waiting.value_or(wish);
        m_waiting.reset();
        runFallback(newest);
    });
}

void DesktopScreenSaver::runFallback(Wish wish) {
    if (m_fallbackStarted.isValid() && m_fallbackStarted.elapsed() < kFallbackIntervalMs) {
        // Too soon after the last helper: this wish waits, unless a newer one comes first.
        if (!m_waiting)
            m_waiting = wish;
        m_busy = false;
        m_interval.start(int(kFallbackIntervalMs - m_fallbackStarted.elapsed()));
        return;
    }
    m_fallbackStarted.start();
    auto *process = new QProcess(this);
    m_process = process;
    const auto ended = [this, process] {
        if (m_process != process)
            return;
        m_process = nullptr;
        process->deleteLater();
        done();
    };
    connect(process, &QProcess::finished, this, ended);
    connect(process, &QProcess::errorOccurred, this, [ended](QProcess::ProcessError error) {
        // A helper that is missing or cannot start never finishes; every other error is followed
        // by finished().
        if (error == QProcess::FailedToStart)
            ended();
    });
    QTimer::singleShot(kFallbackTimeoutMs, process, &QProcess::kill);
    process->start(m_fallbackProgram, {fallbackCommand(wish == Wish::Activate)});
}

void DesktopScreenSaver::done() {
    m_busy = false;
    next();
    if (isIdle())
        emit idle();
}

#pragma once

#include "ScreenSaverControl.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class QProcess;

// The desktop's screen saver through the session bus (org.freedesktop.ScreenSaver). Where the bus
// has no such service, `xdg-screensaver` is asked instead. Ending it also puts the pointer at
// (1, 1), as a user's move would. Nothing here waits for an answer.
//
// The bound object may report many values in a row, and each would otherwise mean a bus call and,
// without a service, a new process. So one request runs at a time (a bus call, or one helper
// process) and only the newest wish waits behind it: what the screen saver ends up doing is what
// the last value asked for. After a helper process the next one starts no sooner than
// kFallbackIntervalMs after it, so a chatty object cannot fill the process table.
class DesktopScreenSaver : public QObject, public ScreenSaverControl {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
    static constexpr int kCallTimeoutMs = 5000;
    static constexpr int kFallbackTimeoutMs = 10000; // a helper that hangs is ended
    static constexpr int kFallbackIntervalMs = 1000;

    explicit DesktopScreenSaver(QDBusConnection bus = QDBusConnection::sessionBus(),
                                QString fallbackProgram = QStringLiteral("xdg-screensaver"), QObject *parent = nullptr);
    ~DesktopScreenSaver() override;

    void activate() override;
    void deactivate() override;

    // No request runs and none waits.
    bool isIdle() const { return !m_busy && !m_waiting; }

signals:
    // The last request ended and none waits.
    void idle();

private:
    enum class Wish { Activate, Deactivate };

    void want(Wish wish);
    // Starts the waiting wish unless a request runs or the helper's interval has not passed.
    void next();
    // The wish's bus calls, from the step-th on; the helper when one fails.
    void callService(Wish wish, int step);
    void runFallback(Wish wish);
    void done();

    QDBusConnection m_bus;
    QString m_fallbackProgram;
    std::optional<Wish> m_waiting;
    bool m_busy = false;
    QProcess *m_process = nullptr;   // the running helper
    QElapsedTimer m_fallbackStarted; // when the last helper started; invalid before the first
    QTimer m_interval;               // the wait until the next helper may start
};

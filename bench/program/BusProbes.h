#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The desktop's notification service on the benchmark's private bus. The program under test
// shows its balloons there (there is no tray on a virtual display), so a balloon raised by the
// last line of a burst tells when the burst is through. It answers from the benchmark's main
// thread, whose event loop runs while the measuring runs on a thread of its own.
class NotificationSink : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    using Received = std::function<void(const QString &body)>;
    NotificationSink(const QString &busAddress, Received received);
    ~NotificationSink() override;
    bool isRegistered() const { return m_registered; }

public slots:
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                             const QString &body, const QStringList &actions, const QVariantMap &hints,
                             int expireTimeout);

private:
    Received m_received;
    QDBusConnection m_bus;
    bool m_registered = false;
    std::atomic<uint> m_nextId{1};
};

// How quickly the program's event loop answers: a property read on the session bus, answered by
// the program's GUI thread, every few milliseconds from a thread of the benchmark. The longest
// answer while the program works, beside the answers while it rests, bounds its longest stall.
class ResponsivenessProbe {
public:
    ResponsivenessProbe(const QString &busAddress, const QString &service);
    ~ResponsivenessProbe();
    void start();
    // Stops and returns every answer time in milliseconds, in order.
    std::vector<double> stop();

private:
    void run();

    QString m_busAddress;
    QString m_service;
    std::atomic<bool> m_running{false};
    std::mutex m_mutex;
    std::vector<double> m_answersMs;
    std::thread m_thread;
};

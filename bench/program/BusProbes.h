#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// An object of the benchmark offered on its private bus under a service name, on a connection of
// its own; taken off the bus with this.
class BusOffer {
public:
    BusOffer(const QString &busAddress, const QString &connectionName, const QString &path, const QString &service,
             QObject *object, QDBusConnection::RegisterOptions options);
    ~BusOffer();
    BusOffer(const BusOffer &) = delete;
    BusOffer &operator=(const BusOffer &) = delete;
    bool isRegistered() const { return m_registered; }

private:
    QString m_connectionName;
    QString m_path;
    QDBusConnection m_bus;
    bool m_registered = false;
};

// The desktop's notification service on the benchmark's private bus. The program under test
// shows its balloons there (Qt does so for a StatusNotifier tray), so a balloon raised by the
// last line of a burst tells when the burst is through. It answers from the benchmark's main
// thread, whose event loop runs while the measuring runs on a thread of its own.
class NotificationSink : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    using Received = std::function<void(const QString &body)>;
    NotificationSink(const QString &busAddress, Received received);
    bool isRegistered() const { return m_offer.isRegistered(); }

public slots:
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                             const QString &body, const QStringList &actions, const QVariantMap &hints,
                             int expireTimeout);

private:
    Received m_received;
    std::atomic<uint> m_nextId{1};
    BusOffer m_offer; // last: off the bus before the rest goes
};

// A tray on the benchmark's private bus, as desktops with StatusNotifier items have it (KDE, and
// GNOME with its tray extension): with it the programs find a system tray and rest in it, and Qt
// shows their balloons through the notification service above. It takes every item and every host
// and answers from the benchmark's main thread.
class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered SCRIPTABLE true)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion SCRIPTABLE true)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items SCRIPTABLE true)
public:
    explicit StatusNotifierWatcher(const QString &busAddress);
    bool isRegistered() const { return m_offer.isRegistered(); }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const;

public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString &service);
    Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString &service);

signals:
    Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString &service);
    Q_SCRIPTABLE void StatusNotifierItemUnregistered(const QString &service);
    Q_SCRIPTABLE void StatusNotifierHostRegistered();
    Q_SCRIPTABLE void StatusNotifierHostUnregistered();

private:
    mutable std::mutex m_mutex;
    QStringList m_items;
    BusOffer m_offer; // last: off the bus before the rest goes
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

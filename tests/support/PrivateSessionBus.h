#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

// A D-Bus session bus of the test's own (`dbus-daemon --session`), so services registered by a
// test never meet the desktop's. Stopped with the object.
class PrivateSessionBus {
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    // Starts the daemon and waits for its address; false when it did not come up.
    bool start();
    const QString &address() const { return m_address; }
    // A new connection to the bus under the given name (each side of a test takes its own).
    QDBusConnection connect(const QString &name) const;

private:
    QProcess m_process;
    QString m_address;
    QStringList m_names;
};

#pragma once

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QString>

// Balloons for desktops without a tray (GNOME by default): the desktop's notification service,
// org.freedesktop.Notifications on the session bus, with the title, the text, the program's icon
// and the time-out. A new notification replaces the one this object showed before.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

    explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    // Sends the notification without waiting for the service; false when the bus is not there.
    bool notify(const QString &title, const QString &text, const QIcon &icon, int timeoutMs);

signals:
    // The service took the notification under this number.
    void shown(uint id);

private:
    QDBusConnection m_bus;
    uint m_lastId = 0; // the service's number of our last notification, replaced by the next
};

#pragma once

#include <QDBusConnection>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class NotificationsProxy;

// Balloons for desktops without a tray (GNOME by default): the desktop's notification service,
// org.freedesktop.Notifications on the session bus, with the title, the text, the program's icon
// and the time-out. A new notification replaces the one this object showed before. Each names the
// program's desktop entry (the desktop shows its name and icon and groups them) and offers the
// default action, so that a click on it opens the program's window.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString kDesktopEntry = QStringLiteral("de.quendra.Quendra");
    static inline const QString kDefaultAction = QStringLiteral("default");

    explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~DesktopNotifications() override;

    // Sends the notification without waiting for the service; false when the bus is not there
    // (unavailableReason() says why).
    bool notify(const QString &title, const QString &text, const QIcon &icon, int timeoutMs);
    QString unavailableReason() const;

signals:
    // The service took the notification under this number.
    void shown(uint id);
    // The service did not take a notification (there is none, or it refused), with its reason.
    void failed(const QString &reason);
    // The user clicked one of our notifications.
    void clicked();

private:
    void onActionInvoked(uint id, const QString &action);

    QDBusConnection m_bus;
    std::unique_ptr<NotificationsProxy> m_service;
    uint m_lastId = 0;  // the service's number of our last notification, replaced by the next
    QList<uint> m_ours; // the numbers of our notifications the user may still see, newest last
};

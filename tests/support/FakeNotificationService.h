#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>

// The desktop's notification service as a test plays it: registered on a (private) bus under
// org.freedesktop.Notifications, it records every notification it is sent.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification {
        QString appName;
        uint replacesId = 0;
        QString title;
        QString text;
        bool hasImage = false;
        int timeoutMs = 0;
    };

    explicit FakeNotificationService(QDBusConnection bus) : m_bus(std::move(bus)) {}
    ~FakeNotificationService() override { m_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications")); }

    // False when the name or the object could not be registered.
    bool registerOnBus() {
        return m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                    QDBusConnection::ExportScriptableSlots) &&
               m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    QList<Notification> received;

public slots:
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &, const QString &summary,
                             const QString &body, const QStringList &, const QVariantMap &hints, int expireTimeout) {
        received.append(
            {appName, replacesId, summary, body, hints.contains(QStringLiteral("image-data")), expireTimeout});
        return uint(received.size());
    }

private:
    QDBusConnection m_bus;
};

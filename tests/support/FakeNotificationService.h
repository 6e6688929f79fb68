#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

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
        QString desktopEntry;
        QStringList actions;
    };

    explicit FakeNotificationService(QDBusConnection bus) : m_bus(std::move(bus)) {}
    ~FakeNotificationService() override { m_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications")); }

    // False when the name or the object could not be registered.
    bool registerOnBus() {
        return m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                    QDBusConnection::ExportScriptableSlots) &&
               m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    // The user clicks a notification (action "default") or one of its buttons.
    void invokeAction(uint id, const QString &action) {
        m_bus.send(QDBusMessage::createSignal(u"/org/freedesktop/Notifications"_qs, u"org.freedesktop.Notifications"_qs,
                                              u"ActionInvoked"_qs)
                   << id << action);
    }

    QList<Notification> received;

public slots:
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &, const QString &summary,
                             const QString &body, const QStringList &actions, const QVariantMap &hints,
                             int expireTimeout) {
        received.append({appName, replacesId, summary, body, hints.contains(QStringLiteral("image-data")),
                         expireTimeout, hints.value(QStringLiteral("desktop-entry")).toString(), actions});
        return uint(received.size());
    }

private:
    QDBusConnection m_bus;
};

#include "DesktopNotifications.h"

#include <QDBusAbstractInterface>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QImage>

namespace {
// The "image-data" hint: a raw RGBA picture, as the notification service takes it (iiibiiay).
struct NotificationImage {
    QImage image;
};

constexpr int kIconSize = 48;
// Services that ignore the number to replace leave older notifications on screen; a click on one
// of those still counts, within reason.
constexpr qsizetype kRememberedNotifications = 32;
} // namespace

Q_DECLARE_METATYPE(NotificationImage)

namespace {
QDBusArgument &operator<<(QDBusArgument &argument, const NotificationImage &picture) {
    const QImage &image = picture.image;
    argument.beginStructure();
    argument << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    argument.endStructure();
    return argument;
}

// Only sent, never received; the type system wants both directions.
const QDBusArgument &operator>>(const QDBusArgument &argument, NotificationImage &) {
    return argument;
}
} // namespace

// The service's signals as Qt signals: Qt D-Bus connects a signal of an interface class to the bus
// signal of the same name once something connects to it.
class NotificationsProxy : public QDBusAbstractInterface {
    Q_OBJECT
public:
    explicit NotificationsProxy(const QDBusConnection &bus)
        : QDBusAbstractInterface(DesktopNotifications::kService, DesktopNotifications::kPath,
                                 "org.freedesktop.Notifications", bus, nullptr) {}

signals:
    void ActionInvoked(uint id, const QString &actionKey);
};

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)) {
    qDBusRegisterMetaType<NotificationImage>();
    if (m_bus.isConnected()) {
        m_service = std::make_unique<NotificationsProxy>(m_bus);
        connect(m_service.get(), &NotificationsProxy::ActionInvoked, this, &DesktopNotifications::onActionInvoked);
    }
}

DesktopNotifications::~DesktopNotifications() = default;

QString DesktopNotifications::unavailableReason() const {
    return m_bus.lastError().message();
}

bool DesktopNotifications::notify(const QString &title, const QString &text, const QIcon &icon, int timeoutMs) {
    if (!m_bus.isConnected())
        return false;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
    if (!icon.isNull()) {
        NotificationImage picture{icon.pixmap(kIconSize, kIconSize).toImage().convertToFormat(QImage::Format_RGBA8888)};
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(picture));
    }
    // The default action is what a click on the notification's body does; its label is read out
    // by services that show it as a button.
    const QStringList actions{kDefaultAction, QStringLiteral("Quendra öffnen")};
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("Quendra") << m_lastId << QString() << title << text << actions << hints << timeoutMs;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        const QDBusPendingReply<uint> reply = *finished;
        finished->deleteLater();
        if (!reply.isValid()) {
            emit failed(reply.error().message());
            return;
        }
        m_lastId = reply.value();
        m_ours.removeAll(m_lastId);
        m_ours.append(m_lastId);
        if (m_ours.size() > kRememberedNotifications)
            m_ours.removeFirst();
        emit shown(m_lastId);
    });
    return true;
}

void DesktopNotifications::onActionInvoked(uint id, const QString &action) {
    // Other programs' notifications come by on the same signal.
    if (action == kDefaultAction && m_ours.contains(id))
        emit clicked();
}

#include "DesktopNotifications.moc"

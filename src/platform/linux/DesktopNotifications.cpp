#include "DesktopNotifications.h"

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

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)) {
    qDBusRegisterMetaType<NotificationImage>();
}

bool DesktopNotifications::notify(const QString &title, const QString &text, const QIcon &icon, int timeoutMs) {
    if (!m_bus.isConnected())
        return false;
    QVariantMap hints;
    if (!icon.isNull()) {
        NotificationImage picture{icon.pixmap(kIconSize, kIconSize).toImage().convertToFormat(QImage::Format_RGBA8888)};
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(picture));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("Quendra") << m_lastId << QString() << title << text << QStringList() << hints << timeoutMs;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        const QDBusPendingReply<uint> reply = *finished;
        finished->deleteLater();
        if (!reply.isValid())
            return;
        m_lastId = reply.value();
        emit shown(m_lastId);
    });
    return true;
}

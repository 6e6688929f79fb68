#include "TrayHostWatch.h"

#include <QDBusAbstractInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMetaMethod>

// The watcher's signals as Qt signals: Qt D-Bus subscribes to the bus signal of the same name once
// something connects to it.
class StatusNotifierWatcherProxy : public QDBusAbstractInterface {
    Q_OBJECT
public:
    explicit StatusNotifierWatcherProxy(const QDBusConnection &bus)
        : QDBusAbstractInterface(TrayHostWatch::kWatcherService, QStringLiteral("/StatusNotifierWatcher"),
                                 "org.kde.StatusNotifierWatcher", bus, nullptr) {}

signals:
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();
};

TrayHostWatch::TrayHostWatch(QDBusConnection bus, QObject *parent) : QObject(parent) {
    if (bus.isConnected()) {
        m_services = new QDBusServiceWatcher(kWatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(m_services, &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayHostWatch::mayHaveChanged);
        m_watcher = std::make_unique<StatusNotifierWatcherProxy>(bus);
        connect(m_watcher.get(), &StatusNotifierWatcherProxy::StatusNotifierHostRegistered, this,
                &TrayHostWatch::mayHaveChanged);
        connect(m_watcher.get(), &StatusNotifierWatcherProxy::StatusNotifierHostUnregistered, this,
                &TrayHostWatch::mayHaveChanged);
    }
    // QPlatformNativeInterface derives from QObject alone; its header is not public, so the pointer is
    // taken as the QObject it is. Only the X11 plugin has the signal.
    auto *native = reinterpret_cast<QObject *>(QGuiApplication::platformNativeInterface());
    if (!native)
        return;
    const int signal = native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)");
    const int slot = metaObject()->indexOfSlot("onPlatformTrayChanged()");
    if (signal >= 0 && slot >= 0)
        connect(native, native->metaObject()->method(signal), this, metaObject()->method(slot));
}

TrayHostWatch::~TrayHostWatch() = default;

void TrayHostWatch::onPlatformTrayChanged() {
    emit mayHaveChanged();
}

#include "TrayHostWatch.moc"

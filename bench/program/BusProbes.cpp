#include "BusProbes.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <chrono>

BusOffer::BusOffer(const QString &busAddress, const QString &connectionName, const QString &path,
                   const QString &service, QObject *object, QDBusConnection::RegisterOptions options)
    : m_connectionName(connectionName), m_path(path), m_bus(QDBusConnection::connectToBus(busAddress, connectionName)) {
    m_registered = m_bus.registerObject(path, object, options) && m_bus.registerService(service);
}

BusOffer::~BusOffer() {
    m_bus.unregisterObject(m_path);
    QDBusConnection::disconnectFromBus(m_connectionName);
}

NotificationSink::NotificationSink(const QString &busAddress, Received received)
    : m_received(std::move(received)),
      m_offer(busAddress, u"bench-notifications"_qs, u"/org/freedesktop/Notifications"_qs,
              u"org.freedesktop.Notifications"_qs, this, QDBusConnection::ExportScriptableSlots) {
}

uint NotificationSink::Notify(const QString &, uint, const QString &, const QString &, const QString &body,
                              const QStringList &, const QVariantMap &, int) {
    m_received(body);
    return m_nextId++;
}

StatusNotifierWatcher::StatusNotifierWatcher(const QString &busAddress)
    : m_offer(busAddress, u"bench-tray"_qs, u"/StatusNotifierWatcher"_qs, u"org.kde.StatusNotifierWatcher"_qs, this,
              QDBusConnection::ExportScriptableContents) {
}

QStringList StatusNotifierWatcher::items() const {
    const std::lock_guard lock(m_mutex);
    return m_items;
}

void StatusNotifierWatcher::RegisterStatusNotifierItem(const QString &service) {
    {
        const std::lock_guard lock(m_mutex);
        m_items.append(service);
    }
    emit StatusNotifierItemRegistered(service);
}

void StatusNotifierWatcher::RegisterStatusNotifierHost(const QString &) {
    emit StatusNotifierHostRegistered();
}

ResponsivenessProbe::ResponsivenessProbe(const QString &busAddress, const QString &service)
    : m_busAddress(busAddress), m_service(service) {
}

ResponsivenessProbe::~ResponsivenessProbe() {
    stop();
}

void ResponsivenessProbe::start() {
    stop();
    m_answersMs.clear();
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

std::vector<double> ResponsivenessProbe::stop() {
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    const std::lock_guard lock(m_mutex);
    return m_answersMs;
}

void ResponsivenessProbe::run() {
    QDBusConnection bus = QDBusConnection::connectToBus(m_busAddress, u"bench-probe"_qs);
    const QDBusMessage get = QDBusMessage::createMethodCall(m_service, u"/de/quendra/Quendra"_qs,
                                                            u"org.freedesktop.DBus.Properties"_qs, u"Get"_qs)
                             << u"de.quendra.Quendra"_qs << u"WindowShown"_qs;
    while (m_running) {
        const auto sent = std::chrono::steady_clock::now();
        const QDBusMessage answer = bus.call(get, QDBus::Block, 30000);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
        if (answer.type() == QDBusMessage::ReplyMessage) {
            const std::lock_guard lock(m_mutex);
            m_answersMs.push_back(ms);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    QDBusConnection::disconnectFromBus(u"bench-probe"_qs);
}

#include "DBusSingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>

DBusSingleInstance::DBusSingleInstance(QDBusConnection bus, int replyTimeoutMs, QObject *parent)
    : SingleInstance(parent), m_bus(std::move(bus)), m_replyTimeoutMs(replyTimeoutMs) {
}

DBusSingleInstance::~DBusSingleInstance() {
    if (m_registered && m_bus.isConnected())
        m_bus.unregisterObject(kPath);
}

SingleInstance::Claim DBusSingleInstance::claim() {
    if (!m_bus.isConnected() || !m_bus.interface()) {
        m_reason = m_bus.lastError().message();
        return Claim::NoSession;
    }
    // The object before the name: whoever sees the name taken may call Show() at once. The call
    // waits in the bus until this program's event loop runs.
    m_registered = m_bus.registerObject(
        kPath, this, QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableProperties);
    if (!m_registered) {
        m_reason = m_bus.lastError().message();
        return Claim::NoSession;
    }
    // Twice at most: the owner may end between our request for the name and our call.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> owned = m_bus.interface()->registerService(
            kService, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
        if (!owned.isValid()) {
            m_reason = owned.error().message();
            return Claim::NoSession;
        }
        if (owned.value() == QDBusConnectionInterface::ServiceRegistered)
            return Claim::First;

        // Blocking is right here: nothing of this start runs yet, and it ends either way.
        const QDBusMessage answer = m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface, u"Show"_qs),
                                               QDBus::Block, m_replyTimeoutMs);
        if (answer.type() == QDBusMessage::ReplyMessage)
            return Claim::HandedOver;
        m_reason = answer.errorMessage();
        if (QDBusError(answer).type() != QDBusError::ServiceUnknown)
            return Claim::NotAnswering;
    }
    return Claim::NotAnswering;
}

void DBusSingleInstance::Show() {
    emit showRequested();
}

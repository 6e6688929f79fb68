#include "PrivateSessionBus.h"

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString &name : m_names)
        QDBusConnection::disconnectFromBus(name);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
}

bool PrivateSessionBus::start() {
    m_process.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!m_process.waitForStarted(5000))
        return false;
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(5000))
            return false;
    }
    m_address = QString::fromUtf8(m_process.readLine()).trimmed();
    return !m_address.isEmpty();
}

QDBusConnection PrivateSessionBus::connect(const QString &name) const {
    const_cast<QStringList &>(m_names).append(name);
    return QDBusConnection::connectToBus(m_address, name);
}

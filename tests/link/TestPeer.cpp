#include "TestPeer.h"

#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

TestPeer::TestPeer(QObject *parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, &TestPeer::onNewConnection);
}

TestPeer::~TestPeer() {
    if (m_client)
        m_client->abort();
}

bool TestPeer::listen(quint16 port) {
    if (!m_server.listen(QHostAddress::LocalHost, port))
        return false;
    m_port = m_server.serverPort();
    return true;
}

void TestPeer::onNewConnection() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_client)
            m_client->abort();
        m_client = socket;
        m_received.clear();
        m_answered = 0;
        m_keySeen = false;
        ++m_connections;
        connect(socket, &QTcpSocket::readyRead, this, &TestPeer::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestPeer::onReadyRead() {
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (socket != m_client)
        return;
    m_received += socket->readAll();
    for (qsizetype nul; (nul = m_received.indexOf('\0', m_answered)) >= 0;) {
        const QByteArray line = m_received.mid(m_answered, nul - m_answered);
        m_answered = nul + 1;
        if (!m_keySeen) {
            m_keySeen = true;
            if (closeAfterKey) {
                socket->disconnectFromHost();
                return;
            }
            if (!greeting.isEmpty())
                socket->write(greeting);
            emit keyReceived();
        } else if (answer) {
            socket->write(answer(line));
        }
    }
}

QList<QByteArray> TestPeer::lines() const {
    QList<QByteArray> result = m_received.split('\0');
    result.removeLast(); // what follows the last NUL is no complete line
    return result;
}

void TestPeer::send(const QByteArray &bytes) {
    if (m_client)
        m_client->write(bytes);
}

void TestPeer::closeClient() {
    if (m_client)
        m_client->disconnectFromHost();
}

void TestPeer::resetClient() {
    if (!m_client)
        return;
    const linger hard{1, 0};
    setsockopt(static_cast<int>(m_client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    m_client->abort();
}

BlackHole::BlackHole() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(m_fd, 0) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        return;
    }
    m_port = ntohs(address.sin_port);
    m_filler.connectToHost(QHostAddress::LocalHost, m_port);
    QTRY_VERIFY(m_filler.state() == QAbstractSocket::ConnectedState);
}

BlackHole::~BlackHole() {
    m_filler.abort();
    if (m_fd >= 0)
        ::close(m_fd);
}

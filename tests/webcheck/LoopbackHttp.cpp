#include "LoopbackHttp.h"

#include <QTcpSocket>

LoopbackHttp::LoopbackHttp() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttp::serve);
}

QString LoopbackHttp::address(const QByteArray &path) const {
    return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()) + QString::fromLatin1(path);
}

void LoopbackHttp::serve() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine() || socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            ++m_requests;
            const QList<QByteArray> request = socket->readLine().split(' ');
            const QByteArray path = request.value(1);
            const auto page = m_pages.constFind(path);
            const bool found = page != m_pages.cend();
            const QByteArray body = found ? *page : QByteArray("not found");
            socket->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                          QByteArray("Content-Type: text/html; charset=windows-1252\r\nContent-Length: ") +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
    }
}

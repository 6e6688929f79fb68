#include "TricklingHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

TricklingHttpServer::TricklingHttpServer(QByteArray response, int intervalMs)
    : m_response(std::move(response)), m_intervalMs(intervalMs) {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto request = std::make_shared<QByteArray>();
            // The timer belongs to the socket: a closed connection stops its trickle.
            auto *trickle = new QTimer(socket);
            auto next = std::make_shared<qsizetype>(0);
            connect(trickle, &QTimer::timeout, socket, [this, socket, trickle, next] {
                if (*next == m_response.size()) {
                    trickle->stop();
                    socket->disconnectFromHost();
                    return;
                }
                socket->write(m_response.mid((*next)++, 1));
                ++m_sent;
            });
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request, trickle] {
                request->append(socket->readAll());
                if (request->contains("\r\n\r\n") && !trickle->isActive())
                    trickle->start(m_intervalMs);
            });
        }
    });
}

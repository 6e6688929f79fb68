#include "LoopbackHttpServer.h"

#include <QTcpSocket>

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : m_handler(std::move(handler)) {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto request = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                request->append(socket->readAll());
                if (!request->contains("\r\n\r\n"))
                    return;
                const QByteArray target = request->left(request->indexOf("\r\n")).split(' ').value(1);
                request->clear();
                m_targets.append(target);
                if (const std::optional<QByteArray> answer = m_handler(target)) {
                    socket->write(*answer);
                    socket->disconnectFromHost();
                }
            });
        }
    });
}

LoopbackHttpServer::LoopbackHttpServer(QByteArray response, bool answer)
    : LoopbackHttpServer([response = std::move(response), answer](const QByteArray &) {
          return answer ? std::optional<QByteArray>(response) : std::nullopt;
      }) {
}

QString LoopbackHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

QByteArray LoopbackHttpServer::response(const QByteArray &status, const QByteArray &body,
                                        const QByteArray &contentType) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

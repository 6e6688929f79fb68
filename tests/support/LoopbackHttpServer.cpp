#include "LoopbackHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace {
// An endless body is written only while the client keeps up: at most this much waits in the
// socket, so the server's own memory stays small whatever the client does.
constexpr qint64 kBacklogBytes = 256 * 1024;
} // namespace

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
                if (const std::optional<Answer> answer = m_handler(target))
                    send(socket, *answer);
            });
        }
    });
}

LoopbackHttpServer::LoopbackHttpServer(QByteArray response, bool answer)
    : LoopbackHttpServer([response = std::move(response), answer](const QByteArray &) {
          return answer ? std::optional<Answer>(response) : std::nullopt;
      }) {
}

void LoopbackHttpServer::write(QTcpSocket *socket, const QByteArray &bytes) {
    m_bytesSent += socket->write(bytes);
}

void LoopbackHttpServer::send(QTcpSocket *socket, const Answer &answer) {
    write(socket, answer.head);
    if (answer.piece.isEmpty()) {
        socket->disconnectFromHost();
        return;
    }
    const QByteArray piece = answer.piece;
    if (answer.intervalMs > 0) {
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [this, socket, piece] { write(socket, piece); });
        timer->start(answer.intervalMs);
        return;
    }
    const auto fill = [this, socket, piece] {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < kBacklogBytes)
            write(socket, piece);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, fill);
    fill();
}

QString LoopbackHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

QByteArray LoopbackHttpServer::response(const QByteArray &status, const QByteArray &body,
                                        const QByteArray &contentType) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray LoopbackHttpServer::redirect(const QByteArray &status, const QByteArray &location) {
    const QByteArray body = "moved";
    return "HTTP/1.1 " + status + "\r\nLocation: " + location +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

LoopbackHttpServer::Answer LoopbackHttpServer::endlessChunked(const QByteArray &piece, int intervalMs) {
    Answer answer("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nTransfer-Encoding: chunked\r\n"
                  "Connection: close\r\n\r\n");
    answer.piece = QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
    answer.intervalMs = intervalMs;
    return answer;
}

LoopbackHttpServerThread::LoopbackHttpServerThread(LoopbackHttpServer::Handler handler) {
    m_context.moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        &m_context,
        [this, &handler] {
            m_server = new LoopbackHttpServer(std::move(handler));
            m_baseUrl = m_server->baseUrl();
        },
        Qt::BlockingQueuedConnection);
}

LoopbackHttpServerThread::~LoopbackHttpServerThread() {
    QThread *home = QThread::currentThread();
    QMetaObject::invokeMethod(
        &m_context,
        [this, home] {
            delete m_server;
            m_context.moveToThread(home); // so that it may be destroyed here
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

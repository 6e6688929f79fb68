#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QThread>
#include <atomic>
#include <functional>
#include <optional>

class QTcpSocket;

// An HTTP server on loopback. Each request's target (the path with its query, as sent) is recorded
// and answered with what the handler gives for it: a whole response, a response whose body never
// ends (as fast as the client reads, or a piece now and then), or none to never answer.
class LoopbackHttpServer : public QObject {
public:
    // What the server sends for one request.
    struct Answer {
        // A whole response; the connection is closed after it. Implicit: handlers return plain responses.
        Answer(QByteArray whole) : head(std::move(whole)) {}

        QByteArray head;    // sent first
        QByteArray piece;   // when not empty: then sent again and again until the client goes
        int intervalMs = 0; // 0: a piece whenever the client has taken the last ones; else one per interval
    };
    using Handler = std::function<std::optional<Answer>(const QByteArray &target)>;

    explicit LoopbackHttpServer(Handler handler);
    // Answers every request with one canned response, or never.
    explicit LoopbackHttpServer(QByteArray response, bool answer = true);

    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:port"
    QString baseUrl() const;
    // The request targets in arrival order.
    const QList<QByteArray> &targets() const { return m_targets; }
    // Bytes written to clients so far, all connections together; may be read from any thread.
    qint64 bytesSent() const { return m_bytesSent; }

    // A complete response with Content-Length and "Connection: close".
    static QByteArray response(const QByteArray &status, const QByteArray &body,
                               const QByteArray &contentType = "text/xml");
    // A redirect (301, 302, 307, ...) to location, with a short body of its own.
    static QByteArray redirect(const QByteArray &status, const QByteArray &location);
    // A chunked body that never ends: the piece's bytes, in chunks, for as long as the client
    // takes them; intervalMs > 0 sends one chunk per interval (a server that trickles).
    static Answer endlessChunked(const QByteArray &piece, int intervalMs = 0);

private:
    void send(QTcpSocket *socket, const Answer &answer);
    void write(QTcpSocket *socket, const QByteArray &bytes);

    Handler m_handler;
    QList<QByteArray> m_targets;
    std::atomic<qint64> m_bytesSent = 0;
    QTcpServer m_server;
};

// A LoopbackHttpServer on a thread of its own, so it sends as fast as the network takes the bytes
// whatever the test's thread (the client's) is busy with, as a real server would.
class LoopbackHttpServerThread {
public:
    explicit LoopbackHttpServerThread(LoopbackHttpServer::Handler handler);
    ~LoopbackHttpServerThread();
    LoopbackHttpServerThread(const LoopbackHttpServerThread &) = delete;
    LoopbackHttpServerThread &operator=(const LoopbackHttpServerThread &) = delete;

    const QString &baseUrl() const { return m_baseUrl; }
    qint64 bytesSent() const { return m_server->bytesSent(); }

private:
    QThread m_thread;
    QObject m_context; // lives on m_thread; runs the server's construction and destruction there
    LoopbackHttpServer *m_server = nullptr;
    QString m_baseUrl;
};

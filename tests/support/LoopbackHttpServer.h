#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <functional>
#include <optional>

// An HTTP server on loopback. Each request's target (the path with its query, as sent) is recorded
// and answered with what the handler gives for it: a whole response, or none to never answer.
class LoopbackHttpServer : public QObject {
public:
    using Handler = std::function<std::optional<QByteArray>(const QByteArray &target)>;

    explicit LoopbackHttpServer(Handler handler);
    // Answers every request with one canned response, or never.
    explicit LoopbackHttpServer(QByteArray response, bool answer = true);

    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:port"
    QString baseUrl() const;
    // The request targets in arrival order.
    const QList<QByteArray> &targets() const { return m_targets; }

    // A complete response with Content-Length and "Connection: close".
    static QByteArray response(const QByteArray &status, const QByteArray &body,
                               const QByteArray &contentType = "text/xml");

private:
    Handler m_handler;
    QList<QByteArray> m_targets;
    QTcpServer m_server;
};

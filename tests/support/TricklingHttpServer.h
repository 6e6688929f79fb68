#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>

// An HTTP server on loopback that answers every request with one response, one byte per interval:
// a server that is never silent for long and still never ends its answer.
class TricklingHttpServer : public QObject {
public:
    TricklingHttpServer(QByteArray response, int intervalMs);

    quint16 port() const { return m_server.serverPort(); }
    // The bytes written so far, over all connections.
    qint64 bytesSent() const { return m_sent; }

private:
    QByteArray m_response;
    int m_intervalMs;
    qint64 m_sent = 0;
    QTcpServer m_server;
};

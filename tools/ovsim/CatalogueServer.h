#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

// The server's web port as far as Quendra uses it: HTTP/1.1, one request per connection,
// GET (or HEAD) of the catalogue path answers with the catalogue document byte for byte. The
// demo page, a small weather table, is there to try the web-query checker on.
class CatalogueServer : public QObject {
    Q_OBJECT

public:
    static constexpr char kCataloguePath[] = "/ovcl?sys/cobjects.xml";
    // A request head larger than this is refused; a connection idle this long is closed.
    static constexpr qsizetype kMaxRequestHead = 16 * 1024;
    static constexpr int kIdleTimeoutMs = 10000;
    static constexpr int kMaxConnections = 100;

    explicit CatalogueServer(QByteArray document, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

private:
    struct Connection;

    void acceptConnections();
    void readRequest(Connection *connection);
    void answer(Connection *connection, int status, const QByteArray &what, bool withBody, bool demoPage = false);

    const QByteArray m_document;
    QTcpServer m_server;
    int m_connections = 0;
};

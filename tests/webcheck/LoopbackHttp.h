#pragma once

#include <QByteArray>
#include <QHash>
#include <QTcpServer>

// A web server on 127.0.0.1 for the checker's tests: GET of a path answers with the page put
// there (404 otherwise), one request per connection.
class LoopbackHttp : public QObject {
    Q_OBJECT

public:
    LoopbackHttp();

    void put(const QByteArray &path, const QByteArray &body) { m_pages.insert(path, body); }
    // "127.0.0.1:port" followed by the path: an address without scheme, as projects hold them.
    QString address(const QByteArray &path) const;
    QString url(const QByteArray &path) const { return QStringLiteral("http://") + address(path); }
    int requests() const { return m_requests; }

private:
    void serve();

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_pages;
    int m_requests = 0;
};

#pragma once

#include "LoopbackHttpServer.h"

#include <QByteArray>
#include <QHash>
#include <QString>

// A web server on 127.0.0.1 for the checker's tests: GET of a path answers with the page put
// there (404 otherwise), one request per connection.
class LoopbackHttp {
public:
    LoopbackHttp();

    void put(const QByteArray &path, const QByteArray &body) { m_pages.insert(path, body); }
    // "127.0.0.1:port" followed by the path: an address without scheme, as projects hold them.
    QString address(const QByteArray &path) const;
    QString url(const QByteArray &path) const { return QStringLiteral("http://") + address(path); }
    int requests() const { return static_cast<int>(m_server.targets().size()); }

private:
    QHash<QByteArray, QByteArray> m_pages;
    LoopbackHttpServer m_server;
};

#include "CatalogueServer.h"

#include "Log.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <optional>

struct CatalogueServer::Connection : QObject {
    using QObject::QObject;
    QTcpSocket *socket = nullptr;
    QString peer;
    QByteArray head;
    bool answered = false;
};

namespace {
struct Status {
    int code;
    const char *reason;
};
constexpr Status kStatuses[] = {{200, "OK"}, {400, "Bad Request"}, {404, "Not Found"}, {405, "Method Not Allowed"}};

QByteArray reasonOf(int code) {
    const auto *found = std::find_if(std::begin(kStatuses), std::end(kStatuses),
                                     [code](const Status &status) { return status.code == code; });
    return found == std::end(kStatuses) ? QByteArray() : QByteArray(found->reason);
}

// The visible characters of ASCII, without the separators that end a token.
bool isToken(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c > 0x20 && c < 0x7f && !QByteArrayView("()<>@,;:\\\"/[]?={}").contains(c);
    });
}

bool isVisible(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7f; });
}

// A page to try the web-query checker on, in Windows-1252 as many older pages of its kind.
constexpr char kDemoPagePath[] = "/wetter.html";
const QByteArray kDemoPage = "<html>\n<head><title>Wetter Musterstadt</title></head>\n<body>\n"
                             "<h1>Wetter in Musterstadt</h1>\n<table border=\"1\">\n"
                             "\t<tr><th>Messwert</th><th>Aktuell</th></tr>\n"
                             "\t<tr><td>Temperatur</td><td>21,5 \xb0"
                             "C</td></tr>\n"
                             "\t<tr><td>Luftfeuchte</td><td>64 %</td></tr>\n"
                             "\t<tr><td>Wind</td><td>12 km/h aus S\xfc"
                             "dwest</td></tr>\n"
                             "\t<tr><td>Luftdruck</td><td>1013 hPa</td></tr>\n"
                             "\t<tr><td>Vorhersage</td><td>Heiter</td></tr>\n"
                             "</table>\n<p><a href=\"/wetter.html\">Aktualisieren</a> "
                             "<img src=\"/sonne.png\" alt=\"Sonne\"></p>\n</body>\n</html>\n";

struct Request {
    QByteArray method;
    QByteArray target;
};

// The request line and the header lines up to the empty line; CR LF or a bare LF end a line.
// Header values are not needed, only their form is checked.
std::optional<Request> parseHead(const QByteArray &head) {
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> parts = lines.value(0).split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || !isVisible(parts[1]) || !parts[1].startsWith('/') ||
        !(parts[2] == "HTTP/1.1" || parts[2] == "HTTP/1.0"))
        return std::nullopt;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0 || !isToken(QByteArrayView(lines[i]).first(colon)))
            return std::nullopt;
    }
    return Request{parts[0], parts[1]};
}
} // namespace

CatalogueServer::CatalogueServer(QByteArray document, QObject *parent)
    : QObject(parent), m_document(std::move(document)) {
    connect(&m_server, &QTcpServer::newConnection, this, &CatalogueServer::acceptConnections);
}

bool CatalogueServer::listen(const QHostAddress &address, quint16 port) {
    return m_server.listen(address, port);
}

void CatalogueServer::acceptConnections() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_connections >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_connections;
        auto *connection = new Connection(this);
        socket->setParent(connection);
        socket->setReadBufferSize(kMaxRequestHead);
        connection->socket = socket;
        connection->peer = QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
        connect(socket, &QTcpSocket::readyRead, this, [this, connection] { readRequest(connection); });
        // Counted down when the connection object goes, however the connection ended.
        connect(connection, &QObject::destroyed, this, [this] { --m_connections; });
        connect(socket, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
        QTimer::singleShot(kIdleTimeoutMs, connection, [connection] { connection->socket->abort(); });
    }
}

void CatalogueServer::readRequest(Connection *connection) {
    if (connection->answered) {
        connection->socket->readAll();
        return;
    }
    connection->head += connection->socket->readAll();
    const qsizetype crlfEnd = connection->head.indexOf("\r\n\r\n");
    const qsizetype lfEnd = connection->head.indexOf("\n\n");
    const qsizetype end = crlfEnd >= 0 && (lfEnd < 0 || crlfEnd < lfEnd) ? crlfEnd : lfEnd;
    if (end < 0 || end > kMaxRequestHead) {
        if (connection->head.size() > kMaxRequestHead)
            answer(connection, 400, "request head too long", true);
        return;
    }
    const auto request = parseHead(connection->head.left(end));
    if (!request) {
        answer(connection, 400, "malformed request", true);
        return;
    }
    const QByteArray what = request->method + ' ' + request->target;
    if (request->target == kDemoPagePath && (request->method == "GET" || request->method == "HEAD")) {
        answer(connection, 200, what, request->method == "GET", true);
        return;
    }
    if (request->method != "GET" && request->method != "HEAD")
        answer(connection, 405, what, true);
    else if (request->target != kCataloguePath)
        answer(connection, 404, what, request->method == "GET");
    else
        answer(connection, 200, what, request->method == "GET");
}

void CatalogueServer::answer(Connection *connection, int status, const QByteArray &what, bool withBody, bool demoPage) {
    const QByteArray reason = reasonOf(status);
    const QByteArray body = demoPage        ? kDemoPage
                            : status == 200 ? m_document
                                            : QByteArray::number(status) + ' ' + reason + '\n';
    QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    response += demoPage        ? "Content-Type: text/html; charset=windows-1252\r\n"
                : status == 200 ? "Content-Type: text/xml\r\n"
                                : "Content-Type: text/plain\r\n";
    if (status == 405)
        response += "Allow: GET, HEAD\r\n";
    response += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
    if (withBody)
        response += body;
    connection->answered = true;
    connection->socket->write(response);
    connection->socket->disconnectFromHost();
    logEvent(QStringLiteral("web %1 %2 -> %3").arg(connection->peer, QString::fromLatin1(what)).arg(status));
}

#include "GatewayServer.h"

#include "AnsiText.h"
#include "Log.h"
#include "ObjectStore.h"

#include <QTcpSocket>

struct GatewayServer::Client : QObject {
    using QObject::QObject;
    QTcpSocket *socket = nullptr;
    QString peer;
    QByteArray partialLine;
    bool authenticated = false;
    // Set once the connection is being closed: no more lines are taken from it or sent to it.
    bool closing = false;
};

namespace {
struct Request {
    enum class Kind { SetValue, Read, Invalid };
    Kind kind = Kind::Invalid;
    quint32 gan = 0;
    QByteArray value;
    QString error;
};

Request invalid(const QString &error) {
    return Request{Request::Kind::Invalid, 0, {}, error};
}

// "1|GAN|value" (the value may be empty and contain further "|") and "0|GAN" (anything after a
// second "|" is ignored).
Request parseRequest(const QByteArray &line) {
    const qsizetype firstBar = line.indexOf('|');
    const QByteArrayView command = firstBar < 0 ? QByteArrayView() : QByteArrayView(line).first(firstBar);
    if (command != "1" && command != "0")
        return invalid(u"unbekannter Befehl"_qs);
    const qsizetype secondBar = line.indexOf('|', firstBar + 1);
    const qsizetype ganEnd = secondBar < 0 ? line.size() : secondBar;
    const auto gan = ObjectStore::parseGan(QByteArrayView(line).sliced(firstBar + 1, ganEnd - firstBar - 1));
    if (!gan)
        return invalid(u"ungültige GAN"_qs);
    if (command == "0")
        return Request{Request::Kind::Read, *gan, {}, {}};
    if (secondBar < 0)
        return invalid(QStringLiteral("Wert fehlt für GAN %1").arg(*gan));
    return Request{Request::Kind::SetValue, *gan, line.sliced(secondBar + 1), {}};
}

QString setError(ObjectStore::SetResult result, quint32 gan) {
    switch (result) {
    case ObjectStore::SetResult::NotANumber:
        return QStringLiteral("keine Zahl für GAN %1").arg(gan);
    case ObjectStore::SetResult::TooLong:
        return QStringLiteral("Wert zu lang für GAN %1").arg(gan);
    case ObjectStore::SetResult::TooManyObjects:
        return QStringLiteral("zu viele Objekte, GAN %1 nicht angelegt").arg(gan);
    case ObjectStore::SetResult::Stored:
        break;
    }
    return {};
}

QByteArray valueLine(quint32 gan, const QByteArray &value) {
    return "2|" + QByteArray::number(gan) + '|' + value;
}

QByteArray errorLine(const QString &text) {
    return "9|ERR|" + AnsiText::encode(text);
}

// Values can be long or hold any byte; the log shows a readable start.
QString forLog(const QByteArray &value) {
    constexpr qsizetype kShown = 60;
    const QString text = AnsiText::decode(value.left(kShown));
    return value.size() > kShown ? text + u"..."_qs : text;
}
} // namespace

GatewayServer::GatewayServer(ObjectStore &store, QByteArray key, QObject *parent)
    : QObject(parent), m_store(store), m_key(std::move(key)) {
    connect(&m_server, &QTcpServer::newConnection, this, &GatewayServer::acceptConnections);
    connect(&m_store, &ObjectStore::valueChanged, this, &GatewayServer::reportToAll);
}

bool GatewayServer::listen(const QHostAddress &address, quint16 port) {
    return m_server.listen(address, port);
}

void GatewayServer::acceptConnections() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const QString peer = QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
        if (m_clients.size() >= kMaxClients) {
            logEvent(QStringLiteral("gateway %1 refused: %2 clients connected").arg(peer).arg(m_clients.size()));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *client = new Client(this);
        socket->setParent(client);
        socket->setReadBufferSize(kMaxLineLength);
        client->socket = socket;
        client->peer = peer;
        m_clients.append(client);
        connect(socket, &QTcpSocket::readyRead, this, [this, client] { readLines(client); });
        connect(socket, &QTcpSocket::disconnected, this, [this, client] {
            if (!client->closing)
                logEvent(QStringLiteral("gateway %1 disconnected").arg(client->peer));
            release(client);
        });
        logEvent(QStringLiteral("gateway %1 connected").arg(peer));
    }
}

void GatewayServer::readLines(Client *client) {
    while (!client->closing && client->socket->bytesAvailable() > 0) {
        QByteArray &buffer = client->partialLine;
        buffer += client->socket->read(kMaxLineLength);
        qsizetype start = 0;
        for (qsizetype end = buffer.indexOf('\0'); end >= 0; end = buffer.indexOf('\0', start)) {
            if (end - start > kMaxLineLength) {
                drop(client, u"line longer than 64 KiB"_qs);
                return;
            }
            const QByteArray line = buffer.sliced(start, end - start);
            start = end + 1;
            handleLine(client, line);
            if (client->closing)
                return;
        }
        buffer.remove(0, start);
        if (buffer.size() > kMaxLineLength) {
            drop(client, u"line longer than 64 KiB"_qs);
            return;
        }
    }
}

void GatewayServer::handleLine(Client *client, const QByteArray &line) {
    if (!client->authenticated) {
        if (line != m_key) {
            logEvent(QStringLiteral("gateway %1 wrong key, closing").arg(client->peer));
            client->closing = true;
            client->socket->disconnectFromHost();
            return;
        }
        client->authenticated = true;
        logEvent(QStringLiteral("gateway %1 key accepted").arg(client->peer));
        for (const auto &[gan, value] : m_store.values()) {
            send(client, valueLine(gan, value));
            if (client->closing)
                return;
        }
        return;
    }
    // A bare terminator carries no request; answering it would only feed NUL floods.
    if (!line.isEmpty())
        handleRequest(client, line);
}

void GatewayServer::handleRequest(Client *client, const QByteArray &line) {
    const Request request = parseRequest(line);
    switch (request.kind) {
    case Request::Kind::SetValue: {
        // A stored value reaches every client, the sender included, through reportToAll.
        const ObjectStore::SetResult result = m_store.set(request.gan, request.value);
        if (result == ObjectStore::SetResult::Stored) {
            logEvent(QStringLiteral("gateway %1 set %2 = %3")
                         .arg(client->peer)
                         .arg(request.gan)
                         .arg(forLog(m_store.value(request.gan).value_or(QByteArray()))));
        } else {
            send(client, errorLine(setError(result, request.gan)));
        }
        break;
    }
    case Request::Kind::Read:
        if (const auto value = m_store.value(request.gan))
            send(client, valueLine(request.gan, *value));
        else
            send(client, errorLine(QStringLiteral("unbekannte GAN %1").arg(request.gan)));
        break;
    case Request::Kind::Invalid:
        send(client, errorLine(request.error));
        break;
    }
}

void GatewayServer::reportToAll(quint32 gan, const QByteArray &value) {
    const QByteArray line = valueLine(gan, value);
    // A copy: sending may drop a client, which takes it out of the list.
    const QList<Client *> clients = m_clients;
    for (Client *client : clients) {
        if (client->authenticated && !client->closing)
            send(client, line);
    }
}

void GatewayServer::send(Client *client, const QByteArray &line) {
    if (client->closing)
        return;
    client->socket->write(line + '\0');
    if (client->socket->bytesToWrite() > kMaxUnsentBytes)
        drop(client, u"more than 1 MiB unsent"_qs);
}

void GatewayServer::drop(Client *client, const QString &reason) {
    logEvent(QStringLiteral("gateway %1 dropped: %2").arg(client->peer, reason));
    client->closing = true;
    client->socket->abort();
    release(client);
}

void GatewayServer::release(Client *client) {
    client->closing = true;
    // Deleted later: the client may still be on the call stack that dropped it.
    if (m_clients.removeOne(client))
        client->deleteLater();
}

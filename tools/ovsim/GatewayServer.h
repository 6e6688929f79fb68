#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>

class ObjectStore;
class QTcpSocket;

// The KO gateway: NUL-terminated Windows-1252 lines over TCP. The first line of a connection
// is the key; after a good key the client gets "2|GAN|value" for every object and then every
// change. "1|GAN|value" sets a value, "0|GAN" reads one, anything else is answered with one
// "9|ERR|text" line.
class GatewayServer : public QObject {
    Q_OBJECT

public:
    // A peer that sends a longer line, or lets more than this much output pile up unread, is
    // dropped: no client can make the server's memory grow without bound.
    static constexpr qsizetype kMaxLineLength = 64 * 1024;
    static constexpr qint64 kMaxUnsentBytes = 1024 * 1024;
    static constexpr qsizetype kMaxClients = 100;

    GatewayServer(ObjectStore &store, QByteArray key, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

private:
    struct Client;

    void acceptConnections();
    void readLines(Client *client);
    void handleLine(Client *client, const QByteArray &line);
    void handleRequest(Client *client, const QByteArray &line);
    void reportToAll(quint32 gan, const QByteArray &value);
    void send(Client *client, const QByteArray &line);
    void drop(Client *client, const QString &reason);
    void release(Client *client);

    ObjectStore &m_store;
    const QByteArray m_key;
    QTcpServer m_server;
    QList<Client *> m_clients;
};

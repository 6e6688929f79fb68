#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

// A gateway on 127.0.0.1 that a test scripts: what it sends after the key, how it answers,
// and the faults the simulator cannot produce (silence, close, reset, garbage).
class TestPeer : public QObject {
    Q_OBJECT
public:
    explicit TestPeer(QObject *parent = nullptr);
    ~TestPeer() override;

    bool listen(quint16 port = 0);
    quint16 port() const { return m_port; }
    void stopListening() { m_server.close(); }

    // Sent after the key (the first NUL) of every connection.
    QByteArray greeting;
    // Close the connection as soon as the key is in (a server refusing the key).
    bool closeAfterKey = false;
    // Called for every line after the key; what it returns is sent back.
    std::function<QByteArray(const QByteArray &line)> answer;

    int connectionCount() const { return m_connections; }
    bool hasClient() const { return m_client && m_client->state() == QAbstractSocket::ConnectedState; }
    // Every byte the newest connection sent, and its lines (each without its NUL).
    const QByteArray &received() const { return m_received; }
    QList<QByteArray> lines() const;

    void send(const QByteArray &bytes);
    void closeClient();
    // Closes with a TCP reset instead of the orderly close.
    void resetClient();

signals:
    // The key (the first line) of a connection is in; the greeting has been sent.
    void keyReceived();

private:
    void onNewConnection();
    void onReadyRead();

    QTcpServer m_server;
    quint16 m_port = 0;
    QPointer<QTcpSocket> m_client;
    QByteArray m_received;
    qsizetype m_answered = 0; // bytes of m_received already looked at for lines to answer
    bool m_keySeen = false;
    int m_connections = 0;
};

// A loopback address whose connection attempts are never answered: a listening socket with a
// full backlog that never accepts drops every further SYN, as a black-holed host would.
class BlackHole {
public:
    BlackHole();
    ~BlackHole();
    bool ready() const { return m_fd >= 0 && m_filler.state() == QAbstractSocket::ConnectedState; }
    quint16 port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    QTcpSocket m_filler;
};

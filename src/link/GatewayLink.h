#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QHostInfo>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <optional>

class QTcpSocket;

// The one TCP connection to the Orvanel's KO gateway. Lines end with one NUL byte in both
// directions and are Windows-1252 on the wire. Everything is event-driven: connect() starts an
// attempt whose outcome arrives as a signal, and received bytes are cut into lines as they
// arrive, so nothing here ever blocks the GUI thread.
//
// "Connected" means open from our side: after the peer closes or resets the connection,
// isConnected() stays true and hasFailed() reports it, until disconnect() closes our side.
// That is what lets the polling see the failure as a failed read and switch to the watchdog.
//
// Note: connect() and disconnect() hide QObject's static functions of the same names inside
// this class; code here calls QObject::connect explicitly.
class GatewayLink : public QObject {
    Q_OBJECT
public:
    enum class Status { Resolving, Connecting, Connected, Disconnecting, Disconnected };
    Q_ENUM(Status)

    // A line without NUL is cut at this length; the rest up to its NUL is dropped, so a broken
    // peer cannot grow memory without bound.
    static constexpr qsizetype kMaxLineLength = 64 * 1024;
    // A black-holed address must not leave an attempt pending for ever; shorter than the
    // watchdog's interval so every watchdog tick can make a new attempt.
    static constexpr int kDefaultConnectTimeoutMs = 15000;

    explicit GatewayLink(QObject *parent = nullptr);
    ~GatewayLink() override;

    void setHost(const QString &host) { m_host = host; }
    const QString &host() const { return m_host; }
    void setPort(int port) { m_port = port; }
    int port() const { return m_port; }
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }

    // Starts a connection attempt to host:port. False, with the reason in *error, when the
    // link is already connected or an attempt is under way; otherwise the attempt ends with
    // connectSucceeded() or connectFailed(). A failed attempt reports Disconnecting and
    // Disconnected first, like closing the socket would.
    bool connect(QString *error = nullptr);
    // Closes the connection, or abandons an attempt under way (which then fails). Reports
    // Disconnecting and Disconnected when a socket was open or opening; otherwise nothing.
    void disconnect();
    bool isConnected() const { return m_open; }
    bool isConnecting() const { return m_attempting; }
    // The open connection was closed or reset by the peer, or failed; the text says how.
    bool hasFailed() const { return !m_failure.isEmpty(); }
    const QString &failureText() const { return m_failure; }

    // Writes the bytes unchanged (no terminator added). False with the reason when not connected.
    bool send(const QByteArray &bytes, QString *error = nullptr);

    // The next complete line without its NUL, or nothing when no complete line is buffered.
    std::optional<QString> readLine();
    bool hasLine() const { return !m_lines.empty(); }
    // Bytes of the line still waiting for its NUL (bounded by kMaxLineLength).
    qsizetype incompleteLineLength() const { return m_partial.size(); }

    static QString statusText(Status status, const QString &address);

signals:
    void onStatus(GatewayLink::Status status, const QString &text);
    void connectSucceeded();
    void connectFailed(const QString &error);
    // One or more complete lines can be read.
    void linesAvailable();
    // The open connection was closed by the peer or failed.
    void failed(const QString &error);
    // A line grew beyond kMaxLineLength; its rest up to the NUL is being dropped.
    void lineCapped();

private:
    void report(Status status, const QString &address);
    void onLookedUp(const QHostInfo &info);
    void tryNextAddress();
    void onSocketConnected();
    void onSocketError();
    void onSocketClosed();
    void onReadyRead();
    void takeBytes(QByteArrayView data);
    void failAttempt(const QString &error);
    void releaseSocket(bool graceful);
    void clearBuffers();

    QString m_host;
    int m_port = 0;
    int m_connectTimeoutMs = kDefaultConnectTimeoutMs;

    QTcpSocket *m_socket = nullptr;
    QList<QHostAddress> m_addresses; // still to try in this attempt
    QString m_address;               // the address tried or connected, for the status texts
    int m_lookupId = -1;
    quint64 m_attemptId = 0;
    QTimer m_connectTimer;
    bool m_attempting = false;
    bool m_open = false;
    QString m_failure;

    std::deque<QByteArray> m_lines;
    QByteArray m_partial;
    bool m_partialCapped = false;
};

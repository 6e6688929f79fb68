#pragma once

#include "LineSplitter.h"

#include <QByteArray>
#include <QHostAddress>
#include <QHostInfo>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

class QTcpSocket;

// The one TCP connection to the Orvanel's KO gateway. Lines end with one NUL byte in both
// directions and are Windows-1252 on the wire. Everything is event-driven: connect() starts an
// attempt whose outcome arrives as a signal, and received bytes are cut into lines as they
// arrive, so nothing here ever blocks the GUI thread.
//
// Memory stays bounded whatever the peer sends: a line longer than kMaxLineLength is dropped,
// and bytes are taken from the socket only while fewer than kMaxQueuedBytes of lines wait to be
// read. While nobody reads (a menu is open, polling is off), the rest waits in the socket and
// the server is held back, as it would be by a program that reads with blocking calls.
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

    // A line that grows beyond this length is dropped whole, up to its NUL.
    static constexpr qsizetype kMaxLineLength = LineSplitter::kMaxLineLength;
    // Complete lines waiting to be read, each counted with its bookkeeping.
    static constexpr qsizetype kMaxQueuedBytes = 1024 * 1024;
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

    // Writes one line and its NUL terminator: the only way bytes reach the gateway.
    //
    // The server ends a line at a NUL and treats a CR or LF as a line end too, so one of them
    // inside the line would let a text from outside (a mail's subject, a pasted console line, a
    // value in an edited file) append a command of its own. Each of them becomes a blank: the
    // line still goes out, readable and as exactly one line, where refusing it would lose a
    // whole mail's subject and leave a menu click waiting for a reply to nothing. *blanked, when
    // given, gets how many bytes were replaced. False with the reason when not connected.
    bool sendLine(QByteArray line, QString *error = nullptr, qsizetype *blanked = nullptr);
    // The replacement sendLine() applies: every NUL, CR and LF in the line becomes a blank.
    static qsizetype blankLineBreaks(QByteArray &line);

    // The next complete line without its NUL, or nothing when no complete line is buffered.
    // Dropped lines in front of it are passed over.
    std::optional<QString> readLine();
    // True, and passed over, when the next thing in the stream is a line dropped for its length;
    // a reader that reports dropped lines asks this before every readLine().
    bool takeDroppedLine();
    // Anything received and not yet read: a complete line, part of one, or bytes in the socket.
    bool hasPendingBytes() const;
    // Bytes of the line still waiting for its NUL (bounded by kMaxLineLength).
    qsizetype incompleteLineLength() const { return m_splitter.incompleteLineLength(); }
    // What the complete lines waiting to be read occupy (bounded by about kMaxQueuedBytes).
    qsizetype queuedBytes() const { return m_splitter.queuedBytes(); }

    static QString statusText(Status status, const QString &address);

signals:
    void onStatus(GatewayLink::Status status, const QString &text);
    void connectSucceeded();
    void connectFailed(const QString &error);
    // One or more complete lines, or dropped lines, can be read.
    void linesAvailable();
    // The open connection was closed by the peer or failed.
    void failed(const QString &error);

private:
    void report(Status status, const QString &address);
    void onLookedUp(const QHostInfo &info);
    void tryNextAddress();
    void onSocketConnected();
    void onSocketError();
    void onSocketClosed();
    void onReadyRead();
    bool fill();
    void failAttempt(const QString &error);
    void releaseSocket(bool graceful);

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

    LineSplitter m_splitter;
    QByteArray m_chunk; // reused for every read from the socket
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>

class QIODevice;

// A real Dovecot POP3 server of the test's own: its configuration, mailboxes and self-made
// certificate live in a temporary folder; it listens on loopback only, on free ports, plain (with
// STLS offered) and POP3S. Needs dovecot-pop3d and openssl; runs as root (the mailboxes belong to
// "nobody", the static user).
class DovecotServer {
public:
    struct Mailbox {
        QString user;
        QString password;
        QList<QByteArray> messages; // oldest first, CR LF line ends
        // Newer than `messages`, oldest first: each written straight into its file by the function,
        // for messages too large to hold in memory. False ends the start.
        QList<std::function<bool(QIODevice &file)>> writtenMessages = {};
    };

    explicit DovecotServer(QList<Mailbox> mailboxes);
    ~DovecotServer();
    DovecotServer(const DovecotServer &) = delete;
    DovecotServer &operator=(const DovecotServer &) = delete;

    // Writes everything, starts Dovecot and waits until both ports answer; false with a warning
    // (and Dovecot's log) when it did not come up.
    bool start();
    void stop();

    quint16 port() const { return m_port; }
    quint16 pop3sPort() const { return m_pop3sPort; }
    // The server's certificate (PEM), for the client to trust.
    QByteArray certificate() const;
    QString log() const;

private:
    bool writeFiles();
    bool run(const QString &program, const QStringList &arguments);

    QList<Mailbox> m_mailboxes;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
    quint16 m_pop3sPort = 0;
    qint64 m_pid = 0;
};

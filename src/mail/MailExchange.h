#pragma once

#include "MailMessage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtPlugin>
#include <atomic>
#include <optional>

// Where and how to reach one mailbox.
struct MailServerAccess {
    QString host;
    QString port;
    QString login;
    QString password;
    bool tls = false; // STLS, required; the POP3S port means POP3S whatever this says
};

// How mailboxes are reached: the bounds of one exchange, so a broken or hostile server can hold
// neither memory nor the worker for ever, and the trust in certificates.
//
// A retrieved message streams through a sink that keeps its header and only counts the rest, so
// a message of any size costs no more memory than its header; its bytes are bounded by the
// exchange's time alone. Everything else the server sends (the greeting, responses, the first
// line of a retrieval) is held by VMime until the line ends: that is what the byte budget bounds,
// so an endless line ends the exchange with flat memory.
struct MailFetchOptions {
    int pop3sPort = 995;                         // the port that means POP3S (TLS from the start)
    int inactivityTimeoutMs = 30000;             // no byte for this long ends the exchange
    int exchangeTimeoutMs = 10 * 60 * 1000;      // the whole exchange, however fast or slow bytes come
    qint64 exchangeByteBudget = 1 * 1024 * 1024; // received in a row without a byte reaching a message's sink
    qint64 headerBytes = 256 * 1024;             // what is kept of each message's header
    // Certificates trusted besides the system's (PEM), for a server with a certificate of its own.
    QList<QByteArray> extraTrustedCertificates;
};

// What a mailbox said. count is set once STAT answered; newest holds the newest messages read so
// far, newest first (at most five); error is empty when the exchange ran to its end.
struct MailboxReport {
    std::optional<qint64> count;
    QList<MailSummary> newest;
    QString error;
};

inline constexpr int kNewestMessages = 5;

// The mailbox exchange as the mailbox plugin (libquendra_mailbox.so, on VMime) offers it. The plugin
// holds VMime and the TLS libraries, so the program loads them only when it first polls a mailbox.
// The plugin and the program build the types above from the same headers; the interface's name
// carries the program's version, so a plugin left from another build is refused.
class MailExchange {
public:
    virtual ~MailExchange() = default;
    // One exchange with a mailbox, as fetchMailbox() (MailFetcher.h) describes it. Blocks; safe to
    // call from any thread, also from several at once.
    virtual MailboxReport fetch(const MailServerAccess &access, const MailFetchOptions &options,
                                const std::atomic_bool &cancelled) = 0;
};

#define QUENDRA_MAIL_EXCHANGE_IID "de.quendra.Quendra.MailExchange/" QUENDRA_VERSION
Q_DECLARE_INTERFACE(MailExchange, QUENDRA_MAIL_EXCHANGE_IID)

#pragma once

#include "LoadReplaceEntry.h"
#include "ValueTarget.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class Dialogs;
class QNetworkAccessManager;
class QNetworkReply;
class CheckedFileWriter;

// Bounds of one download.
struct DownloadLimits {
    int timeoutMs = 30000;                // the whole transfer, from request to last byte
    qint64 maxBytes = 50LL * 1024 * 1024; // a larger body is refused
    int maxRedirects = 5;                 // redirects followed, each only within the rule's server
};

// The Load & Replace share of every received value (`download_rlist`): each rule bound to the
// number fetches host + value (the value exactly as received, decimal point kept) and replaces its
// file with the body. The window never waits: downloads run in the background. Downloads into the
// same file run one after another in arrival order, and only the newest waiting one is kept, so
// the newest value wins.
//
// A download goes only to the server of its rule's host text, redirects included (see
// LoadReplaceAddress). The body streams into a temporary file beside the target as it arrives,
// counted against the byte cap on the way, with only a small read buffer in memory, so a server
// that never stops sending costs neither memory nor the window's time; the temporary file replaces
// the target only when the whole transfer succeeded. A failure keeps the old file, is reported
// with the rule's name (bus monitor line and error box) and stops nothing else.
class LoadReplaceDownloads : public QObject, public ValueTarget {
    Q_OBJECT
public:
    // rules, network and dialogs must outlive this object; note puts a line into the bus monitor.
    LoadReplaceDownloads(const LoadReplaceList &rules, QNetworkAccessManager &network, Dialogs &dialogs,
                         std::function<void(const QString &line)> note, DownloadLimits limits = {},
                         QObject *parent = nullptr);
    ~LoadReplaceDownloads() override;

    void onValue(const DecodedLine &line, bool initial) override;
    void download_rlist(const QString &gan, const QString &rawValue);

    // No download is running or waiting.
    bool isIdle() const { return m_queues.empty(); }

signals:
    // A file was replaced by a downloaded body.
    void replaced(const QString &saveto);
    // A download failed with this text; the file stayed as it was.
    void failed(const QString &text);

private:
    struct Job {
        QString rule;  // the rule's name, for messages
        QString host;  // the rule's host text
        QString value; // as the server sent it
        QString saveto;
        QString urlText() const { return host + value; }
    };
    struct Queue {
        Job running;
        std::optional<Job> waiting;
        QPointer<QNetworkReply> reply;
        std::unique_ptr<CheckedFileWriter> file;
        QUrl origin; // the only server this transfer may talk to
        qint64 received = 0;
        QString failure; // why we ended the running transfer
    };

    void start(const QString &key);
    Queue *transferOf(const QString &key, const QNetworkReply *reply);
    void onReadyRead(const QString &key, QNetworkReply *reply);
    void onRedirected(const QString &key, QNetworkReply *reply, const QUrl &target);
    void onFinished(const QString &key, QNetworkReply *reply);
    // Moves what the reply holds into the file; the reason when the transfer must end.
    QString takeBody(Queue &queue, QNetworkReply *reply);
    // Ends the running transfer with this reason; its finished() comes from the event loop.
    void abortWith(Queue &queue, const QString &reason);
    QString failureReason(const Queue &queue, const QNetworkReply *reply) const;
    // Ends the running download of the file (a failure text when it failed) and starts the waiting one.
    void finish(const QString &key, const QString &failure);
    void report(const QString &text);

    const LoadReplaceList &m_rules;
    QNetworkAccessManager &m_network;
    Dialogs &m_dialogs;
    std::function<void(const QString &)> m_note;
    DownloadLimits m_limits;
    QByteArray m_chunk; // one read's bytes on their way to a file, reused
    // Target file -> its downloads; a file without downloads has no queue. Bounded by the rules.
    std::map<QString, Queue> m_queues;
    // An error box is open: later failures go to the bus monitor only, so a failing rule on a busy
    // object cannot stack up boxes.
    bool m_boxOpen = false;
};

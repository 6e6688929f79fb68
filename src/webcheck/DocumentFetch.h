#pragma once

#include "PageSource.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches a document's bytes as the server would get them: one HTTP GET, redirects followed,
// with a time-out and a byte budget.
class DocumentFetch : public QObject {
    Q_OBJECT

public:
    static constexpr int kTimeoutMs = 30000;
    // The most the reply holds unread: the network thread waits while that much is waiting, so
    // a read takes at most this much into the document (a few milliseconds of the window's
    // thread, page faults of the fresh memory included) instead of all that arrived meanwhile.
    static constexpr qint64 kReadBufferBytes = 512 * 1024;

    explicit DocumentFetch(QNetworkAccessManager &network, QObject *parent = nullptr, int timeoutMs = kTimeoutMs,
                           qsizetype maxBytes = PageSource::kMaxBytes);
    ~DocumentFetch() override;

    // Starts a fetch; a fetch still running is abandoned without report.
    void fetch(const QUrl &url);
    // Abandons a running fetch without report.
    void cancel();

signals:
    // The bytes with an empty error, or no bytes with an error that names the address and the reason.
    void finished(const QByteArray &bytes, const QString &error);

private:
    void readSome();
    void complete();

    QNetworkAccessManager &m_network;
    int m_timeoutMs;
    qsizetype m_maxBytes;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_bytes;
    bool m_tooLarge = false;
};

#pragma once

#include "CatalogueTree.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches the catalogue from the server's web port without blocking: the download runs in the
// event loop with a time-out and a size budget, reading and building the tree runs on a worker
// thread. A document that was well-formed replaces the copy (atomically); the tree comes from
// that document, or after a failure from the copy of the last good one.
class CatalogueLoader : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultTimeoutMs = 30000;
    static constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;
    // What fetch failures report as their code when the network layer gives none.
    static constexpr int kTooLargeCode = 299;

    CatalogueLoader(QNetworkAccessManager &network, QString copyFile, QObject *parent = nullptr);

    void setTimeout(int ms) { m_timeoutMs = ms; }
    void setMaxDocumentBytes(qint64 bytes) { m_maxBytes = bytes; }
    const QString &copyFile() const { return m_copyFile; }
    bool isLoading() const { return m_loading; }

    // "http://" + host + ":" + port + "/ovcl?sys/cobjects.xml"
    static QString catalogueUrl(const QString &host, const QString &port);
    // Starts a load; ignored while one is under way.
    void load(const QString &host, const QString &port);

signals:
    // The share done, 0..1000.
    void progress(int permille);
    // The fetch failed (network error, or a document that is not well-formed); the load goes on
    // with the copy.
    void fetchFailed(int code);
    // The load is over: the new tree, or nullptr when no tree could be built (the shown one stays).
    void finished(std::shared_ptr<const CatalogueTree> tree);

private:
    void onReplyFinished();
    // Runs work on a worker thread and hands its result back here.
    void buildFromFetched(QByteArray document);
    void buildFromCopy();
    void done(std::shared_ptr<const CatalogueTree> tree);

    QNetworkAccessManager &m_network;
    QString m_copyFile;
    int m_timeoutMs = kDefaultTimeoutMs;
    qint64 m_maxBytes = kMaxDocumentBytes;
    bool m_loading = false;
    bool m_tooLarge = false;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_received;
};

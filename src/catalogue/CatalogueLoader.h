#pragma once

#include "CatalogueTree.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches the catalogue from the server's web port without blocking: the download runs in the
// event loop with two time limits and a size budget, reading and building the tree runs on a
// worker thread. A document that was well-formed replaces the copy (whole or not at all); the tree
// comes from that document, or after a failure from the copy of the last good one.
class CatalogueLoader : public QObject {
    Q_OBJECT
public:
    // The longest silence of the server during the transfer.
    static constexpr int kDefaultTimeoutMs = 30000;
    // The longest the whole transfer may take, however steadily the bytes come: a server that
    // trickles would otherwise keep the button disabled and polling paused for ever. Enough for
    // the largest document the size budget admits at half a megabyte per second.
    static constexpr int kDefaultTransferLimitMs = 120000;
    static constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;
    // What fetch failures report as their code when the network layer gives none.
    static constexpr int kTooLargeCode = 299;

    CatalogueLoader(QNetworkAccessManager &network, QString copyFile, QObject *parent = nullptr);

    void setTimeout(int ms) { m_timeoutMs = ms; }
    void setTransferLimit(int ms) { m_transferLimitMs = ms; }
    void setMaxDocumentBytes(qint64 bytes) { m_maxBytes = bytes; }
    void setMaxObjects(int objects) { m_maxObjects = objects; }
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
    // A document that was fetched and read could not replace the copy (the message names the
    // file and the reason); the copy stays as it was, the tree shows the fetched document.
    void copyFailed(const QString &message);
    // The load is over: the new tree, or nullptr when no tree could be built (the shown one stays).
    void finished(std::shared_ptr<const CatalogueTree> tree);

private:
    // Moves what the reply holds into the document, refusing it when it passes the size budget.
    void takeReceived();
    void onReplyFinished();
    // Runs work on a worker thread and hands its result back here.
    void buildFromFetched(QByteArray document);
    void buildFromCopy();
    void done(std::shared_ptr<const CatalogueTree> tree);

    QNetworkAccessManager &m_network;
    QString m_copyFile;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_transferLimitMs = kDefaultTransferLimitMs;
    qint64 m_maxBytes = kMaxDocumentBytes;
    int m_maxObjects = kMaxCatalogueObjects;
    QTimer m_transferLimit;
    bool m_loading = false;
    bool m_tooLarge = false;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_received;
};

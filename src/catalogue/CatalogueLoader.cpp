#include "CatalogueLoader.h"

#include "CheckedFileWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThreadPool>
#include <QUrl>

namespace {
// The fetch is the first half of the bar, reading and building the second.
constexpr int kFetchShare = 500;

// A fetched document as the worker leaves it: read, and saved as the copy or not.
struct FetchedParse {
    CatalogueParse parse;
    QString copyError; // why the copy could not be written; empty when it was, or was not to be
};

// Runs work on the worker pool and then `then` with its result on the GUI thread, unless the
// receiver is gone by then.
template <typename Result>
void runInBackground(QObject *receiver, std::function<Result()> work, std::function<void(Result)> then) {
    QThreadPool::globalInstance()->start(
        [guard = QPointer(receiver), work = std::move(work), then = std::move(then)]() mutable {
            auto result = std::make_shared<Result>(work());
            QCoreApplication *app = QCoreApplication::instance();
            if (!app) // the program is ending
                return;
            QMetaObject::invokeMethod(
                app,
                [guard, then = std::move(then), result] {
                    if (guard)
                        then(std::move(*result));
                },
                Qt::QueuedConnection);
        });
}

// Progress of the worker, passed back to the GUI thread.
std::function<void(int)> progressTo(CatalogueLoader *loader, int offset) {
    return [guard = QPointer(loader), offset](int permille) {
        QCoreApplication *app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app,
            [guard, value = offset + permille * (1000 - offset) / 1000] {
                if (guard && guard->isLoading())
                    emit guard->progress(value);
            },
            Qt::QueuedConnection);
    };
}
} // namespace

CatalogueLoader::CatalogueLoader(QNetworkAccessManager &network, QString copyFile, QObject *parent)
    : QObject(parent), m_network(network), m_copyFile(std::move(copyFile)) {
    m_transferLimit.setSingleShot(true);
    // Aborting ends the reply as a failed fetch: the error box, the copy, and the load is over.
    connect(&m_transferLimit, &QTimer::timeout, this, [this] {
        if (m_reply)
            m_reply->abort();
    });
}

QString CatalogueLoader::catalogueUrl(const QString &host, const QString &port) {
    return u"http://"_qs + host + u':' + port + u"/ovcl?sys/cobjects.xml"_qs;
}

void CatalogueLoader::load(const QString &host, const QString &port) {
    if (m_loading)
        return;
    m_loading = true;
    m_tooLarge = false;
    m_received.clear();
    QNetworkRequest request(QUrl(catalogueUrl(host, port)));
    request.setTransferTimeout(m_timeoutMs);
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &CatalogueLoader::takeReceived);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (total > 0)
            emit progress(static_cast<int>(std::min(received, total) * kFetchShare / total));
    });
    connect(m_reply, &QNetworkReply::finished, this, &CatalogueLoader::onReplyFinished);
    m_transferLimit.start(m_transferLimitMs);
}

void CatalogueLoader::takeReceived() {
    if (!m_reply || m_tooLarge)
        return;
    // Room for the whole document as the server announces it, within the budget: the bytes go
    // straight into it, and no copy that grows with the document stalls the window.
    if (m_received.capacity() == 0) {
        const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > 0)
            m_received.reserve(std::min(announced, m_maxBytes + 1));
    }
    const qint64 available = m_reply->bytesAvailable();
    if (available <= 0)
        return;
    if (m_received.size() + available > m_maxBytes) {
        m_tooLarge = true;
        if (m_reply->isRunning())
            m_reply->abort();
        return;
    }
    const qsizetype before = m_received.size();
    m_received.resize(before + available);
    const qint64 got = m_reply->read(m_received.data() + before, available);
    m_received.resize(before + std::max<qint64>(got, 0));
}

void CatalogueLoader::onReplyFinished() {
    m_transferLimit.stop();
    QNetworkReply *reply = m_reply;
    reply->deleteLater();
    if (reply->error() == QNetworkReply::NoError)
        takeReceived(); // the last bytes
    if (reply->error() != QNetworkReply::NoError || m_tooLarge) {
        m_received.clear();
        emit fetchFailed(m_tooLarge ? kTooLargeCode : static_cast<int>(reply->error()));
        buildFromCopy();
        return;
    }
    buildFromFetched(std::exchange(m_received, {}));
}

void CatalogueLoader::buildFromFetched(QByteArray document) {
    const QString copy = m_copyFile;
    runInBackground<FetchedParse>(
        this,
        [document = std::move(document), copy, maxObjects = m_maxObjects, report = progressTo(this, kFetchShare)] {
            FetchedParse fetched{parseCatalogue(document, report, maxObjects), {}};
            // Only a document that parsed replaces the copy, and never half-written. A copy that
            // cannot be written keeps the last one; the tree still shows what was fetched.
            if (fetched.parse.wellFormed)
                CheckedFileWriter::writeFile(copy, document, &fetched.copyError);
            return fetched;
        },
        [this](FetchedParse fetched) {
            if (!fetched.parse.wellFormed) {
                emit fetchFailed(fetched.parse.errorCode);
                buildFromCopy();
                return;
            }
            if (!fetched.copyError.isEmpty())
                emit copyFailed(fetched.copyError);
            done(std::move(fetched.parse.tree));
        });
}

void CatalogueLoader::buildFromCopy() {
    const QString copy = m_copyFile;
    const qint64 maxBytes = m_maxBytes;
    runInBackground<std::shared_ptr<CatalogueTree>>(
        this,
        [copy, maxBytes, maxObjects = m_maxObjects,
         report = progressTo(this, kFetchShare)]() -> std::shared_ptr<CatalogueTree> {
            QFile file(copy);
            if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
                return {};
            const CatalogueParse parse = parseCatalogue(file.readAll(), report, maxObjects);
            return parse.tree;
        },
        [this](std::shared_ptr<CatalogueTree> tree) { done(std::move(tree)); });
}

void CatalogueLoader::done(std::shared_ptr<const CatalogueTree> tree) {
    m_loading = false;
    emit finished(std::move(tree));
}

#include "DocumentFetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <algorithm>
#include <utility>

DocumentFetch::DocumentFetch(QNetworkAccessManager &network, QObject *parent, int timeoutMs, qsizetype maxBytes)
    : QObject(parent), m_network(network), m_timeoutMs(timeoutMs), m_maxBytes(maxBytes) {
}

DocumentFetch::~DocumentFetch() {
    cancel();
}

void DocumentFetch::cancel() {
    if (!m_reply)
        return;
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}

void DocumentFetch::fetch(const QUrl &url) {
    cancel();
    m_bytes.clear();
    m_tooLarge = false;
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    m_reply = m_network.get(request);
    m_reply->setReadBufferSize(kReadBufferBytes);
    connect(m_reply, &QNetworkReply::readyRead, this, &DocumentFetch::readSome);
    connect(m_reply, &QNetworkReply::finished, this, &DocumentFetch::complete);
}

void DocumentFetch::readSome() {
    if (m_bytes.capacity() == 0) {
        // The announced length (within the budget) is reserved at once, so the document does not
        // grow by reallocation; without one the buffer grows as it must.
        const qint64 announced = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > 0)
            m_bytes.reserve(std::min<qsizetype>(announced, m_maxBytes));
    }
    // Read straight into the document: no chunk copied in between.
    const qint64 available = m_reply->bytesAvailable();
    if (m_bytes.size() + available > m_maxBytes) {
        m_tooLarge = true;
        m_reply->abort();
        return;
    }
    const qsizetype old = m_bytes.size();
    m_bytes.resize(old + available);
    const qint64 read = m_reply->read(m_bytes.data() + old, available);
    m_bytes.resize(old + std::max<qint64>(read, 0));
}

void DocumentFetch::complete() {
    if (!m_tooLarge && m_reply->error() == QNetworkReply::NoError)
        readSome();
    QNetworkReply *reply = std::exchange(m_reply, nullptr);
    reply->deleteLater();
    const QString address = reply->url().toString();
    QString error;
    if (m_tooLarge)
        error = QStringLiteral("Die Seite \"%1\" ist größer als %2 Bytes.").arg(address, QString::number(m_maxBytes));
    else if (reply->error() != QNetworkReply::NoError)
        error = QStringLiteral("Die Seite \"%1\" kann nicht geladen werden: %2").arg(address, reply->errorString());
    emit finished(error.isEmpty() ? std::exchange(m_bytes, {}) : QByteArray(), error);
}

#include "DocumentFetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
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
    connect(m_reply, &QNetworkReply::readyRead, this, &DocumentFetch::readSome);
    connect(m_reply, &QNetworkReply::finished, this, &DocumentFetch::complete);
}

void DocumentFetch::readSome() {
    const QByteArray chunk = m_reply->readAll();
    if (m_bytes.size() + chunk.size() > m_maxBytes) {
        m_tooLarge = true;
        m_reply->abort();
        return;
    }
    m_bytes += chunk;
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

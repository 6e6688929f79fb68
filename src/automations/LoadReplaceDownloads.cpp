#include "LoadReplaceDownloads.h"

#include "AutomationTexts.h"
#include "Dialogs.h"
#include "FileMessages.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QTimer>

namespace {
// The URL exactly as the user configured it plus the value as received; what HTTP cannot carry
// (a blank, a "|") goes percent-encoded on the wire, nothing else is changed.
QUrl downloadUrl(const QString &text) {
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    return url;
}
} // namespace

LoadReplaceDownloads::LoadReplaceDownloads(const LoadReplaceList &rules, QNetworkAccessManager &network,
                                           Dialogs &dialogs, std::function<void(const QString &)> note,
                                           DownloadLimits limits, QObject *parent)
    : QObject(parent), m_rules(rules), m_network(network), m_dialogs(dialogs), m_note(std::move(note)),
      m_limits(limits) {
}

LoadReplaceDownloads::~LoadReplaceDownloads() {
    // The program ends: running transfers stop without a word, their files stay as they were.
    for (auto &[key, queue] : m_queues) {
        if (queue.reply) {
            queue.reply->disconnect(this);
            queue.reply->abort();
            queue.reply->deleteLater();
        }
    }
}

void LoadReplaceDownloads::onValue(const DecodedLine &line, bool) {
    // Also for the lines read right after connecting: the files show the current state.
    download_rlist(line.gan, line.rawValue);
}

void LoadReplaceDownloads::download_rlist(const QString &gan, const QString &rawValue) {
    for (const LoadReplaceEntry &rule : m_rules) {
        if (!rule.isBoundTo(gan))
            continue;
        Job job{rule.host + rawValue, rule.saveto};
        const auto [it, created] = m_queues.try_emplace(rule.saveto);
        if (!created) {
            // Only the newest value matters once this file's running download is done.
            it->second.waiting = std::move(job);
            continue;
        }
        it->second.running = std::move(job);
        start(rule.saveto);
    }
}

void LoadReplaceDownloads::start(const QString &key) {
    Queue &queue = m_queues.at(key);
    const Job &job = queue.running;
    const QUrl url = downloadUrl(job.urlText);
    if (url.isEmpty()) {
        finish(key, AutomationTexts::kNoAddress.arg(job.urlText));
        return;
    }
    // The body goes beside the target and replaces it only once it is complete.
    queue.file = std::make_unique<QSaveFile>(job.saveto);
    if (!queue.file->open(QIODevice::WriteOnly)) {
        finish(key, AutomationTexts::kFilePrefix + FileMessages::cannotWrite(job.saveto, queue.file->errorString()));
        return;
    }
    queue.received = 0;
    queue.failure.clear();
    QNetworkReply *reply = m_network.get(QNetworkRequest(url));
    queue.reply = reply;
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, key, reply] {
        if (Queue *q = transferOf(key, reply))
            abortWith(*q, AutomationTexts::kNoAnswer.arg(m_limits.timeoutMs / 1000.0));
    });
    deadline->start(m_limits.timeoutMs);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, key, reply] {
        Queue *q = transferOf(key, reply);
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (q && length.isValid() && length.toLongLong() > m_limits.maxBytes)
            abortWith(*q, AutomationTexts::kTooLarge.arg(m_limits.maxBytes));
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, key, reply] { onReadyRead(key, reply); });
    connect(reply, &QNetworkReply::finished, this, [this, key, reply] { onFinished(key, reply); });
}

LoadReplaceDownloads::Queue *LoadReplaceDownloads::transferOf(const QString &key, const QNetworkReply *reply) {
    const auto it = m_queues.find(key);
    if (it == m_queues.end() || it->second.reply != reply || !it->second.failure.isEmpty())
        return nullptr;
    return &it->second;
}

void LoadReplaceDownloads::onReadyRead(const QString &key, QNetworkReply *reply) {
    Queue *queue = transferOf(key, reply);
    if (!queue)
        return;
    const QByteArray chunk = reply->readAll();
    queue->received += chunk.size();
    if (queue->received > m_limits.maxBytes)
        abortWith(*queue, AutomationTexts::kTooLarge.arg(m_limits.maxBytes));
    else if (queue->file->write(chunk) != chunk.size())
        abortWith(*queue, FileMessages::cannotWrite(queue->running.saveto, queue->file->errorString()));
}

void LoadReplaceDownloads::abortWith(Queue &queue, const QString &reason) {
    queue.failure = reason;
    queue.reply->abort();
}

void LoadReplaceDownloads::onFinished(const QString &key, QNetworkReply *reply) {
    const auto it = m_queues.find(key);
    if (it == m_queues.end() || it->second.reply != reply)
        return;
    Queue &queue = it->second;
    reply->deleteLater();
    onReadyRead(key, reply); // the last bytes
    const QString urlText = queue.running.urlText;
    QString reason = queue.failure;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reason.isEmpty() && reply->error() != QNetworkReply::NoError)
        reason = reply->errorString();
    else if (reason.isEmpty() && (status < 200 || status > 299))
        reason = QStringLiteral("HTTP %1").arg(status);
    if (!reason.isEmpty()) {
        finish(key, AutomationTexts::kDownloadFailed.arg(urlText, reason));
        return;
    }
    if (!queue.file->commit()) {
        finish(key, AutomationTexts::kFilePrefix +
                        FileMessages::cannotWrite(queue.running.saveto, queue.file->errorString()));
        return;
    }
    const QString saveto = queue.running.saveto;
    finish(key, {});
    emit replaced(saveto);
}

void LoadReplaceDownloads::finish(const QString &key, const QString &failure) {
    Queue &queue = m_queues.at(key);
    // Without commit the temporary file goes and the target stays untouched.
    queue.file.reset();
    queue.reply = nullptr;
    if (!failure.isEmpty()) {
        // Reported from the event loop, so a box never opens while the queues are half updated.
        QMetaObject::invokeMethod(
            this, [this, failure] { report(failure); }, Qt::QueuedConnection);
    }
    if (!queue.waiting) {
        m_queues.erase(key);
        return;
    }
    queue.running = std::move(*queue.waiting);
    queue.waiting.reset();
    start(key);
}

void LoadReplaceDownloads::report(const QString &text) {
    if (m_note)
        m_note(text);
    emit failed(text);
    if (m_boxOpen)
        return;
    const QScopedValueRollback open(m_boxOpen, true);
    m_dialogs.error(text);
}

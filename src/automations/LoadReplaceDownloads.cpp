#include "LoadReplaceDownloads.h"

#include "AutomationTexts.h"
#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "LoadReplaceAddress.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopedValueRollback>
#include <QTimer>

namespace {
// How much of a body the network layer may hold before we have taken it. The HTTP client stops
// reading the socket when this is full, so a server sending faster than we write (or for ever)
// costs this much memory, not the whole body. Far smaller buffers cost a hand-over between the
// network thread and ours per buffer and slow a loopback transfer to a few MB/s.
constexpr qint64 kReadBufferBytes = 1024 * 1024;
// What one read moves from the reply to the file: a short piece of work for the window's thread.
constexpr qint64 kPieceBytes = 64 * 1024;

// Seconds as the German texts write them ("1,5").
QString secondsText(int ms) {
    return QString::number(ms / 1000.0).replace(u'.', u',');
}

QString addressProblem(const LoadReplaceAddress &address, const QString &rule, const QString &urlText) {
    switch (address.problem) {
    case LoadReplaceAddress::Problem::None:
        break;
    case LoadReplaceAddress::Problem::NoAddress:
        return AutomationTexts::kNoAddress.arg(rule, urlText);
    case LoadReplaceAddress::Problem::OtherServer:
        return AutomationTexts::kOtherServer.arg(rule, urlText, LoadReplaceAddress::serverText(address.origin));
    case LoadReplaceAddress::Problem::DotSegment:
        return AutomationTexts::kDotSegment.arg(rule, urlText);
    }
    return {};
}

// Where the reply's last answer redirects to, as an absolute address; empty when it does not.
QUrl redirectTarget(const QNetworkReply *reply) {
    // A refused redirect leaves the attribute empty; the answer's header still names the target.
    QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (location.isEmpty())
        location = QUrl::fromEncoded(reply->rawHeader("Location"));
    return location.isEmpty() ? QUrl() : reply->url().resolved(location);
}

QString networkReason(const QNetworkReply *reply, int maxRedirects) {
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return AutomationTexts::kRefused;
    case QNetworkReply::HostNotFoundError:
        return AutomationTexts::kHostNotFound;
    case QNetworkReply::RemoteHostClosedError:
        return AutomationTexts::kClosedEarly;
    case QNetworkReply::TooManyRedirectsError:
        return AutomationTexts::kTooManyRedirects.arg(maxRedirects);
    case QNetworkReply::InsecureRedirectError:
        return AutomationTexts::kRedirectElsewhere.arg(redirectTarget(reply).toDisplayString());
    case QNetworkReply::ProtocolUnknownError:
        // Our own addresses are always http or https: only a redirect can lead elsewhere.
        return AutomationTexts::kRedirectNotHttp;
    default:
        return AutomationTexts::kNetworkError.arg(QString::number(int(reply->error())), reply->errorString());
    }
}
} // namespace

LoadReplaceDownloads::LoadReplaceDownloads(const LoadReplaceList &rules, QNetworkAccessManager &network,
                                           Dialogs &dialogs, std::function<void(const QString &)> note,
                                           DownloadLimits limits, QObject *parent)
    : QObject(parent), m_rules(rules), m_network(network), m_dialogs(dialogs), m_note(std::move(note)),
      m_limits(limits), m_chunk(kPieceBytes, Qt::Uninitialized) {
}

LoadReplaceDownloads::~LoadReplaceDownloads() {
    // The program ends: running transfers stop without a word, their files stay as they were (the
    // writers drop their temporary files).
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
        Job job{rule.bezeichnung, rule.host, rawValue, rule.saveto};
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
    const LoadReplaceAddress address = LoadReplaceAddress::of(job.host, job.value);
    if (const QString problem = addressProblem(address, job.rule, job.urlText()); !problem.isEmpty()) {
        finish(key, problem);
        return;
    }
    // The body goes beside the target and replaces it only once it is complete.
    queue.file = std::make_unique<CheckedFileWriter>(job.saveto);
    if (!queue.file->open()) {
        finish(key, AutomationTexts::kFileFailed.arg(job.rule, queue.file->errorString()));
        return;
    }
    queue.origin = address.origin;
    queue.received = 0;
    queue.failure.clear();

    QNetworkRequest request(address.url);
    // Redirects are followed only to the server of the previous step, so never off the rule's.
    // (Qt 6.4's user-verified policy, which would let us decide each step, ends a chain of more
    // than two steps as a success with status 100.)
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    // HTTP/1.1 only: its reads stop when the reply's read buffer is full, which bounds memory.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    QNetworkReply *reply = m_network.get(request);
    reply->setReadBufferSize(kReadBufferBytes);
    queue.reply = reply;

    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, key, reply] {
        Queue *q = transferOf(key, reply);
        if (!q)
            return;
        const QString seconds = secondsText(m_limits.timeoutMs);
        abortWith(*q, q->received == 0 ? AutomationTexts::kNoAnswer.arg(seconds)
                                       : AutomationTexts::kTooSlow.arg(seconds, QString::number(q->received)));
    });
    deadline->start(m_limits.timeoutMs);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, key, reply] {
        Queue *q = transferOf(key, reply);
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (q && length.isValid() && length.toLongLong() > m_limits.maxBytes)
            abortWith(*q, AutomationTexts::kTooLarge.arg(m_limits.maxBytes));
    });
    connect(reply, &QNetworkReply::redirected, this,
            [this, key, reply](const QUrl &target) { onRedirected(key, reply, target); });
    connect(reply, &QNetworkReply::readyRead, this, [this, key, reply] { onReadyRead(key, reply); });
    connect(reply, &QNetworkReply::finished, this, [this, key, reply] { onFinished(key, reply); });
}

LoadReplaceDownloads::Queue *LoadReplaceDownloads::transferOf(const QString &key, const QNetworkReply *reply) {
    const auto it = m_queues.find(key);
    if (it == m_queues.end() || it->second.reply != reply || !it->second.failure.isEmpty())
        return nullptr;
    return &it->second;
}

void LoadReplaceDownloads::onRedirected(const QString &key, QNetworkReply *reply, const QUrl &target) {
    // The policy already keeps to one server; this holds it to the rule's, whatever Qt does.
    Queue *queue = transferOf(key, reply);
    if (queue && !LoadReplaceAddress::sameServer(target, queue->origin))
        abortWith(*queue, AutomationTexts::kRedirectElsewhere.arg(target.toDisplayString()));
}

QString LoadReplaceDownloads::takeBody(Queue &queue, QNetworkReply *reply) {
    for (;;) {
        const qint64 n = reply->read(m_chunk.data(), m_chunk.size());
        if (n <= 0)
            return {};
        if (n > m_limits.maxBytes - queue.received)
            return AutomationTexts::kTooLarge.arg(m_limits.maxBytes);
        queue.received += n;
        if (!queue.file->write(m_chunk.constData(), n))
            return queue.file->errorString();
    }
}

void LoadReplaceDownloads::onReadyRead(const QString &key, QNetworkReply *reply) {
    Queue *queue = transferOf(key, reply);
    if (!queue)
        return;
    if (const QString reason = takeBody(*queue, reply); !reason.isEmpty())
        abortWith(*queue, reason);
}

void LoadReplaceDownloads::abortWith(Queue &queue, const QString &reason) {
    queue.failure = reason;
    // From the event loop: aborting inside one of the reply's own signals confuses Qt's
    // bookkeeping. The failure is set, so nothing the reply delivers meanwhile is taken.
    QMetaObject::invokeMethod(queue.reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

QString LoadReplaceDownloads::failureReason(const Queue &queue, const QNetworkReply *reply) const {
    if (!queue.failure.isEmpty())
        return queue.failure;
    // Failures of the connection, the proxy and the protocol (redirects included) come first: a
    // status beside them belongs to an answer that does not count. Content and server errors
    // (Qt's 2xx and 4xx codes) are told by the HTTP status itself.
    const int error = reply->error();
    if (error != QNetworkReply::NoError && (error < 200 || error >= 300) && (error < 400 || error >= 500))
        return networkReason(reply, m_limits.maxRedirects);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return error != QNetworkReply::NoError ? networkReason(reply, m_limits.maxRedirects)
                                               : AutomationTexts::kClosedEarly;
    const int code = status.toInt();
    if (code >= 300 && code <= 399) {
        // A redirect that was not followed: Qt leaves one to another scheme (file:, ftp:) unfollowed.
        const QUrl target = redirectTarget(reply);
        const QString scheme = target.scheme().toLower();
        if (!target.isEmpty() && scheme != u"http" && scheme != u"https")
            return AutomationTexts::kRedirectNotHttp;
    }
    if (code < 200 || code > 299)
        return AutomationTexts::kHttpStatus.arg(code);
    if (error != QNetworkReply::NoError)
        return networkReason(reply, m_limits.maxRedirects);
    return {};
}

void LoadReplaceDownloads::onFinished(const QString &key, QNetworkReply *reply) {
    const auto it = m_queues.find(key);
    if (it == m_queues.end() || it->second.reply != reply)
        return;
    Queue &queue = it->second;
    reply->deleteLater();
    if (queue.failure.isEmpty() && reply->error() == QNetworkReply::NoError)
        queue.failure = takeBody(queue, reply); // the last bytes
    const Job &job = queue.running;
    if (const QString reason = failureReason(queue, reply); !reason.isEmpty()) {
        // A file the writer could not write names itself; anything else names the address.
        const bool fileFailed = !queue.file->isOpen();
        finish(key, fileFailed ? AutomationTexts::kFileFailed.arg(job.rule, queue.file->errorString())
                               : AutomationTexts::kDownloadFailed.arg(job.rule, job.urlText(), reason));
        return;
    }
    if (!queue.file->commit()) {
        finish(key, AutomationTexts::kFileFailed.arg(job.rule, queue.file->errorString()));
        return;
    }
    const QString saveto = job.saveto;
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

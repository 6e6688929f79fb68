#include "GatewayLink.h"

#include "AnsiText.h"
#include "LinkTexts.h"

#include <QTcpSocket>
#include <algorithm>

namespace {
// How long a closed connection may take to flush what we wrote before it is cut.
constexpr int kCloseGraceMs = 5000;
// What the socket itself may hold beyond our queue, and how much is taken from it at a time.
constexpr qint64 kSocketBufferBytes = 64 * 1024;
constexpr qint64 kReadChunkBytes = 16 * 1024;
} // namespace

GatewayLink::GatewayLink(QObject *parent) : QObject(parent) {
    m_connectTimer.setSingleShot(true);
    QObject::connect(&m_connectTimer, &QTimer::timeout, this,
                     [this] { failAttempt(LinkTexts::kConnectTimeout.arg(m_address.isEmpty() ? m_host : m_address)); });
}

GatewayLink::~GatewayLink() {
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    if (m_socket) {
        QObject::disconnect(m_socket, nullptr, this, nullptr);
        m_socket->abort();
    }
}

QString GatewayLink::statusText(Status status, const QString &address) {
    switch (status) {
    case Status::Resolving:
        return LinkTexts::kResolving.arg(address);
    case Status::Connecting:
        return LinkTexts::kConnecting.arg(address);
    case Status::Connected:
        return LinkTexts::kConnected;
    case Status::Disconnecting:
        return LinkTexts::kDisconnecting.arg(address);
    case Status::Disconnected:
        return LinkTexts::kNotConnected;
    }
    return {};
}

void GatewayLink::report(Status status, const QString &address) {
    emit onStatus(status, statusText(status, address));
}

bool GatewayLink::connect(QString *error) {
    if (m_open || m_attempting) {
        if (error)
            *error = m_open ? LinkTexts::kAlreadyConnected : LinkTexts::kAttemptUnderWay;
        return false;
    }
    m_attempting = true;
    m_failure.clear();
    m_address.clear();
    m_addresses.clear();
    m_splitter.clear();
    const quint64 attempt = ++m_attemptId;
    m_connectTimer.start(m_connectTimeoutMs);

    QHostAddress numeric;
    if (numeric.setAddress(m_host)) {
        m_addresses = {numeric};
        // Started from the event loop so the caller never sees the outcome inside this call.
        QTimer::singleShot(0, this, [this, attempt] {
            if (attempt == m_attemptId && m_attempting && !m_socket)
                tryNextAddress();
        });
    } else {
        report(Status::Resolving, m_host);
        m_lookupId = QHostInfo::lookupHost(m_host, this, &GatewayLink::onLookedUp);
    }
    return true;
}

void GatewayLink::onLookedUp(const QHostInfo &info) {
    if (!m_attempting || info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        failAttempt(info.errorString());
        return;
    }
    m_addresses = info.addresses();
    tryNextAddress();
}

void GatewayLink::tryNextAddress() {
    if (m_port < 1 || m_port > 65535) {
        failAttempt(LinkTexts::kInvalidPort.arg(m_port));
        return;
    }
    releaseSocket(false);
    const QHostAddress address = m_addresses.takeFirst();
    m_address = address.toString();
    m_socket = new QTcpSocket(this);
    m_socket->setReadBufferSize(kSocketBufferBytes);
    QObject::connect(m_socket, &QTcpSocket::connected, this, &GatewayLink::onSocketConnected);
    QObject::connect(m_socket, &QTcpSocket::errorOccurred, this, &GatewayLink::onSocketError);
    QObject::connect(m_socket, &QTcpSocket::disconnected, this, &GatewayLink::onSocketClosed);
    QObject::connect(m_socket, &QTcpSocket::readyRead, this, &GatewayLink::onReadyRead);
    report(Status::Connecting, m_address);
    m_socket->connectToHost(address, static_cast<quint16>(m_port));
}

void GatewayLink::onSocketConnected() {
    m_attempting = false;
    m_open = true;
    m_connectTimer.stop();
    m_addresses.clear();
    m_address = m_socket->peerAddress().toString();
    report(Status::Connected, m_address);
    emit connectSucceeded();
}

void GatewayLink::onSocketError() {
    if (!m_socket)
        return;
    const QString text = m_socket->error() == QAbstractSocket::RemoteHostClosedError ? LinkTexts::kClosedByServer
                                                                                     : m_socket->errorString();
    if (m_attempting) {
        if (m_addresses.isEmpty())
            failAttempt(text);
        else
            tryNextAddress();
        return;
    }
    if (m_open && m_failure.isEmpty()) {
        onReadyRead(); // what arrived before the close is still ours to read
        m_failure = text;
        emit failed(m_failure);
    }
}

void GatewayLink::onSocketClosed() {
    if (m_open && m_failure.isEmpty()) {
        onReadyRead();
        m_failure = LinkTexts::kClosedByServer;
        emit failed(m_failure);
    }
}

void GatewayLink::failAttempt(const QString &error) {
    if (!m_attempting)
        return;
    m_attempting = false;
    m_connectTimer.stop();
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_addresses.clear();
    releaseSocket(false);
    report(Status::Disconnecting, m_address.isEmpty() ? m_host : m_address);
    report(Status::Disconnected, {});
    emit connectFailed(error);
}

void GatewayLink::disconnect() {
    if (m_attempting) {
        failAttempt(LinkTexts::kAttemptAborted);
        return;
    }
    if (!m_open)
        return;
    m_open = false;
    m_failure.clear();
    report(Status::Disconnecting, m_address);
    releaseSocket(true);
    m_splitter.clear();
    report(Status::Disconnected, {});
}

void GatewayLink::releaseSocket(bool graceful) {
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    if (!socket)
        return;
    QObject::disconnect(socket, nullptr, this, nullptr);
    if (graceful && socket->state() == QAbstractSocket::ConnectedState) {
        // Let what we wrote last reach the server, but never wait for ever.
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kCloseGraceMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->disconnectFromHost();
    } else {
        socket->abort();
        socket->deleteLater();
    }
}

qsizetype GatewayLink::blankLineBreaks(QByteArray &line) {
    qsizetype replaced = 0;
    for (char &c : line) {
        if (c == '\0' || c == '\r' || c == '\n') {
            c = ' ';
            ++replaced;
        }
    }
    return replaced;
}

bool GatewayLink::sendLine(QByteArray line, QString *error, qsizetype *blanked) {
    const qsizetype replaced = blankLineBreaks(line);
    if (blanked)
        *blanked = replaced;
    line.append('\0');
    QString problem;
    if (!m_open || !m_socket)
        problem = LinkTexts::kNotConnected;
    else if (hasFailed())
        problem = m_failure;
    else if (m_socket->write(line) != line.size())
        problem = m_socket->errorString();
    if (problem.isEmpty())
        return true;
    if (error)
        *error = problem;
    return false;
}

std::optional<QString> GatewayLink::readLine() {
    // What waits in the socket comes next, also after the peer closed: a closed connection is
    // reported only once everything it delivered has been read.
    fill();
    const std::optional<QByteArray> line = m_splitter.takeLine();
    if (!line)
        return std::nullopt;
    return AnsiText::decode(*line);
}

bool GatewayLink::takeDroppedLine() {
    fill();
    return m_splitter.takeOverlongLine();
}

void GatewayLink::onReadyRead() {
    if (fill())
        emit linesAvailable();
}

bool GatewayLink::fill() {
    bool gotLine = false;
    while (m_socket && m_splitter.queuedBytes() < kMaxQueuedBytes) {
        // Only what has arrived, into one buffer kept for every read.
        const qint64 wanted = std::min(m_socket->bytesAvailable(), kReadChunkBytes);
        if (wanted <= 0)
            break;
        if (m_chunk.size() < kReadChunkBytes)
            m_chunk.resize(kReadChunkBytes);
        const qint64 got = m_socket->read(m_chunk.data(), wanted);
        if (got <= 0)
            break;
        gotLine = m_splitter.takeBytes(QByteArrayView(m_chunk.constData(), got)) || gotLine;
    }
    return gotLine;
}

bool GatewayLink::hasPendingBytes() const {
    return m_splitter.hasPendingBytes() || (m_socket && m_socket->bytesAvailable() > 0);
}

#include "OvsimProcess.h"

#include "AnsiText.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpSocket>

namespace {
constexpr int startTimeoutMs = 10000;
constexpr int stopTimeoutMs = 3000;
constexpr int replyTimeoutMs = 5000;
const QByteArray errorReply("9|ERR|");
} // namespace

OvsimProcess::OvsimProcess() : OvsimProcess(Options{}) {
}

OvsimProcess::OvsimProcess(Options options) : m_options(std::move(options)) {
    // Its log goes where the test's own output goes, which helps when a test fails.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

OvsimProcess::~OvsimProcess() {
    stop();
}

bool OvsimProcess::start() {
    stop();
    const QString program = QStringLiteral(QUENDRA_OVSIM_PATH);
    if (program.isEmpty()) {
        qWarning("OvsimProcess: the ovsim target is not part of this build");
        return false;
    }
    QStringList arguments{u"--port"_qs, u"0"_qs, u"--web-port"_qs, u"0"_qs, u"--key"_qs, m_options.key};
    if (!m_options.catalogue.isEmpty())
        arguments << u"--catalogue"_qs << m_options.catalogue;
    arguments << m_options.extraArguments;
    m_process.start(program, arguments);

    const QDeadlineTimer deadline(startTimeoutMs);
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            qWarning("OvsimProcess: no port line from %s", qPrintable(program));
            stop();
            return false;
        }
    }
    static const QRegularExpression portLine(uR"(^ovsim gateway-port=(\d+) web-port=(\d+)\n$)"_qs);
    const QRegularExpressionMatch match = portLine.match(QString::fromLatin1(m_process.readLine()));
    if (!match.hasMatch()) {
        stop();
        return false;
    }
    m_gatewayPort = match.captured(1).toUShort();
    m_webPort = match.captured(2).toUShort();
    return true;
}

void OvsimProcess::stop() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(stopTimeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(stopTimeoutMs);
        }
    }
    m_gatewayPort = 0;
    m_webPort = 0;
}

QString OvsimProcess::catalogueUrl() const {
    return QStringLiteral("http://127.0.0.1:%1/ovcl?sys/cobjects.xml").arg(m_webPort);
}

bool OvsimProcess::setValue(const QString &gan, const QString &value) {
    if (m_gatewayPort == 0)
        return false;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_gatewayPort);
    if (!socket.waitForConnected(replyTimeoutMs))
        return false;
    // The server answers "0|" (no GAN) with an error line; it marks the end of the values queued
    // after the key, so the set value's report cannot be mistaken for its old value.
    const QByteArray nul(1, '\0');
    socket.write(AnsiText::encode(m_options.key) + nul + "0|" + nul + "1|" + AnsiText::encode(gan) + '|' +
                 AnsiText::encode(value) + nul);

    bool ok = false;
    const uint number = gan.toUInt(&ok);
    const QByteArray report = "2|" + (ok ? QByteArray::number(number) : AnsiText::encode(gan)) + '|';
    bool pastQueue = false;
    QByteArray received;
    const QDeadlineTimer deadline(replyTimeoutMs);
    for (;;) {
        for (qsizetype end = received.indexOf('\0'); end >= 0; end = received.indexOf('\0')) {
            const QByteArray line = received.left(end);
            received.remove(0, end + 1);
            if (!pastQueue)
                pastQueue = line.startsWith(errorReply);
            else if (line.startsWith(report))
                return true;
            else if (line.startsWith(errorReply))
                return false;
        }
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
        received += socket.readAll();
    }
}

#include "DovecotServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>
#include <unistd.h>

namespace {
constexpr int kStartTimeoutMs = 15000;
constexpr int kStopTimeoutMs = 5000;

quint16 freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Whether the process still runs. One that ended stays a zombie until its parent collects it,
// which can take seconds: the server detached itself, so its parent is not this process.
bool runs(pid_t pid) {
    if (::kill(pid, 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd < 0 || line.mid(nameEnd + 2, 1) != "Z";
}

bool answers(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(500);
}
} // namespace

DovecotServer::DovecotServer(QList<Mailbox> mailboxes) : m_mailboxes(std::move(mailboxes)) {
}

DovecotServer::~DovecotServer() {
    stop();
}

bool DovecotServer::run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(kStartTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("DovecotServer: %s failed: %s", qPrintable(program), process.readAll().constData());
        return false;
    }
    return true;
}

bool DovecotServer::writeFiles() {
    const QString dir = m_dir.path();
    // The mail and login processes run as other users and must reach the folder.
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                   QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    QByteArray passwd;
    for (const Mailbox &box : std::as_const(m_mailboxes)) {
        passwd += box.user.toUtf8() + ":{PLAIN}" + box.password.toUtf8() + '\n';
        for (const char *sub : {"cur", "new", "tmp"})
            if (!QDir(dir).mkpath(QStringLiteral("mail/%1/%2").arg(box.user, QLatin1String(sub))))
                return false;
        // Maildir file names sort by delivery time: the first message is the oldest.
        const auto fileName = [&](qsizetype i) {
            return m_dir.filePath(
                QStringLiteral("mail/%1/new/%2.M%3P1.quendra").arg(box.user).arg(1700000000 + i).arg(i));
        };
        for (qsizetype i = 0; i < box.messages.size(); ++i)
            if (!writeFile(fileName(i), box.messages.at(i)))
                return false;
        for (qsizetype i = 0; i < box.writtenMessages.size(); ++i) {
            QFile file(fileName(box.messages.size() + i));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !box.writtenMessages.at(i)(file))
                return false;
        }
    }
    if (!QDir(dir).mkpath(QStringLiteral("run")) || !writeFile(m_dir.filePath(QStringLiteral("passwd")), passwd))
        return false;
    if (!run(QStringLiteral("openssl"),
             {QStringLiteral("req"), QStringLiteral("-x509"),
              // An elliptic-curve key is made at once; an RSA key takes up to a second.
              QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
              QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"), QStringLiteral("-days"),
              QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
              QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost"), QStringLiteral("-keyout"),
              m_dir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
              m_dir.filePath(QStringLiteral("cert.pem"))}))
        return false;
    const QString config = QStringLiteral(R"(base_dir = DIR/run
state_dir = DIR/run
log_path = DIR/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = yes
ssl_cert = <DIR/cert.pem
ssl_key = <DIR/key.pem
disable_plaintext_auth = no
auth_mechanisms = plain
# A refused login answers at once, and the next login from the same address is not held back by
# the penalty (it needs the anvil listener switched off below): the tests check refusals, not the
# delays against guessing.
auth_failure_delay = 0
mail_location = maildir:DIR/mail/%u
first_valid_uid = 1
service pop3-login {
  inet_listener pop3 {
    port = PORT
  }
  inet_listener pop3s {
    port = SPORT
    ssl = yes
  }
}
service anvil {
  unix_listener anvil-auth-penalty {
    mode = 0
  }
}
passdb {
  driver = passwd-file
  args = scheme=PLAIN DIR/passwd
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=DIR/mail/%u
}
)")
                               .replace(QStringLiteral("SPORT"), QString::number(m_pop3sPort))
                               .replace(QStringLiteral("PORT"), QString::number(m_port))
                               .replace(QStringLiteral("DIR"), dir);
    return writeFile(m_dir.filePath(QStringLiteral("dovecot.conf")), config.toUtf8()) &&
           run(QStringLiteral("chown"),
               {QStringLiteral("-R"), QStringLiteral("nobody:nogroup"), m_dir.filePath(QStringLiteral("mail"))});
}

bool DovecotServer::start() {
    stop();
    m_port = freePort();
    m_pop3sPort = freePort();
    while (m_pop3sPort == m_port)
        m_pop3sPort = freePort();
    if (!m_dir.isValid() || !m_port || !m_pop3sPort || !writeFiles() ||
        !run(QStringLiteral("/usr/sbin/dovecot"),
             {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("dovecot.conf"))}))
        return false;
    QFile pidFile(m_dir.filePath(QStringLiteral("run/master.pid")));
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (!m_pid && pidFile.open(QIODevice::ReadOnly)) {
            m_pid = pidFile.readAll().trimmed().toLongLong();
            pidFile.close();
        }
        if (m_pid && answers(m_port) && answers(m_pop3sPort))
            return true;
        QThread::msleep(50);
    }
    qWarning("DovecotServer: did not come up; log:\n%s", qPrintable(log()));
    stop();
    return false;
}

void DovecotServer::stop() {
    if (m_pid > 1) {
        const auto master = static_cast<pid_t>(m_pid);
        // Every process of the server at once: the master stops its own processes, but a login
        // process it told only by closing its pipes ends after a time-out of its own (5 s), and the
        // master waits for it. The master leads the process group of all of them.
        ::kill(::getpgid(master) == master ? -master : master, SIGTERM);
        const QDeadlineTimer deadline(kStopTimeoutMs);
        while (runs(master) && !deadline.hasExpired())
            QThread::msleep(20);
    }
    m_pid = 0;
}

QByteArray DovecotServer::certificate() const {
    QFile file(m_dir.filePath(QStringLiteral("cert.pem")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString DovecotServer::log() const {
    QFile file(m_dir.filePath(QStringLiteral("dovecot.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

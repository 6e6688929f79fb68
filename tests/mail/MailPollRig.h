#pragma once

#include "FakeDialogs.h"
#include "FakeLinkView.h"
#include "FakeTrayIcon.h"
#include "LinkController.h"
#include "LinkTexts.h"
#include "MailFixtures.h"
#include "MailPoller.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// What the poll tests share: memory measured while a poll runs, the program's link with a poller
// on it, and a POP3 server that misbehaves on purpose.

// This process's resident memory in KiB: "VmRSS:" now, "VmHWM:" its peak since the last reset.
inline qint64 memoryKiB(QByteArrayView key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').constFirst().toLongLong();
    return -1;
}

// How far resident memory rises above what it is at construction, at its peak.
class MemoryPeak {
public:
    MemoryPeak() {
        // Writing 5 resets the peak to the present (Linux).
        QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        m_reset = clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
        clearRefs.close();
        m_before = memoryKiB("VmRSS:");
    }
    bool ready() const { return m_reset && m_before > 0; }
    qint64 growthKiB() const { return memoryKiB("VmHWM:") - m_before; }

private:
    bool m_reset = false;
    qint64 m_before = -1;
};

constexpr qint64 kFlatMemoryKiB = 20 * 1024;

// The balloons of the poll (the link shows its own on connecting).
inline QList<FakeTrayIcon::Balloon> mailBalloons(const FakeTrayIcon &tray) {
    QList<FakeTrayIcon::Balloon> found;
    for (const FakeTrayIcon::Balloon &balloon : tray.balloons)
        if (balloon.title == QStringLiteral("Mailserver:"))
            found.append(balloon);
    return found;
}

// The gateway link of the program connected to the simulator, and a poller sending through it.
struct PollRig {
    explicit PollRig(quint16 gatewayPort, MailFetchOptions options = {})
        : link(view, tray, dialogs),
          poller(
              accounts, link, [this] { return link.link().isConnected(); }, tray, dialogs, std::move(options)) {
        view.port = QString::number(gatewayPort);
        link.link().setHost(view.host);
        link.link().setPort(gatewayPort);
    }
    bool connectLink() {
        link.ovconnectbtnClick();
        return QTest::qWaitFor([this] { return view.buttonShowsDisconnect; }, 10000);
    }
    bool pollAndWait() {
        QSignalSpy finished(&poller, &MailPoller::pollFinished);
        poller.Timer3Timer();
        return poller.pollRunning() && finished.wait(60000);
    }
    // Polls an empty mailbox once, so that what a first exchange sets up once (the worker, VMime,
    // the certificate authorities) is in place before memory is measured.
    bool warmUp(quint16 dovecotPort) {
        const MailAccountList kept = std::exchange(
            accounts, {account(QStringLiteral("Vorlauf"), dovecotPort, "empty", "geheim0", QStringLiteral("60000"))});
        const bool polled = pollAndWait() && dialogs.boxes.isEmpty();
        accounts = kept;
        dialogs.boxes.clear();
        return polled;
    }

    FakeLinkView view;
    FakeTrayIcon tray;
    FakeDialogs dialogs;
    LinkController link;
    MailAccountList accounts;
    MailPoller poller;
};

// A POP3 server that misbehaves: it greets with garbage or an endless line, drops the connection
// after USER, stalls in the middle of a message or sends one endless line in it; or it holds more
// messages than 32 bits can count, answering every RETR with "Nummer" and the message's number.
class BrokenPop3Server : public QObject {
public:
    enum class Fault { StallInMessage, EndlessLine, GarbageGreeting, EndlessGreeting, DropAfterUser, HugeCount };
    static constexpr const char *kHugeCount = "1099511627776"; // 2^40

    explicit BrokenPop3Server(Fault fault) : m_fault(fault) {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] {
                if (m_flooding && socket->bytesToWrite() < 65536)
                    socket->write(QByteArray(65536, 'x'));
            });
            if (m_fault == Fault::GarbageGreeting) {
                socket->write("* OK IMAP4rev1 bereit\r\n");
            } else if (m_fault == Fault::EndlessGreeting) {
                m_flooding = true;
                socket->write("+OK " + QByteArray(65536, 'x'));
            } else {
                socket->write("+OK ready\r\n");
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    bool retrieving() const { return m_retrieving; }
    // The message numbers of every RETR, in the order asked.
    const QList<QByteArray> &retrieved() const { return m_retrieved; }

private:
    void answer(QTcpSocket *socket) {
        while (socket->canReadLine()) {
            const QByteArray command = socket->readLine().trimmed().toUpper();
            if (command.startsWith("USER") && m_fault == Fault::DropAfterUser) {
                socket->disconnectFromHost();
                return;
            }
            if (command.startsWith("USER") || command.startsWith("PASS") || command.startsWith("QUIT") ||
                command.startsWith("RSET")) {
                socket->write("+OK\r\n");
            } else if (command.startsWith("STAT")) {
                socket->write(m_fault == Fault::HugeCount ? QByteArray("+OK ") + kHugeCount + " 0\r\n"
                                                          : QByteArray("+OK 1 100\r\n"));
            } else if (command.startsWith("LIST") || command.startsWith("UIDL")) {
                socket->write("+OK\r\n1 100\r\n.\r\n");
            } else if (command.startsWith("RETR") && m_fault == Fault::HugeCount) {
                m_retrieved.append(command.mid(5));
                socket->write("+OK\r\nSubject: Nummer " + command.mid(5) + "\r\n\r\n.\r\n");
            } else if (command.startsWith("RETR")) {
                m_retrieving = true;
                socket->write("+OK\r\nFrom: a@example.org\r\nSubject: ");
                m_flooding = m_fault == Fault::EndlessLine;
                if (m_flooding)
                    socket->write(QByteArray(65536, 'x'));
            } else {
                socket->write("-ERR\r\n");
            }
        }
    }

    Fault m_fault;
    QTcpServer m_server;
    bool m_flooding = false;
    bool m_retrieving = false;
    QList<QByteArray> m_retrieved;
};

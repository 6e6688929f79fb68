// Mail polling: the accounts' file, the header reading, and the poll against a real Dovecot with
// the lines as they reach the Orvanel simulator.
#include "DovecotServer.h"
#include "FakeDialogs.h"
#include "FakeLinkView.h"
#include "FakeTrayIcon.h"
#include "IniFieldTable.h"
#include "IniFile.h"
#include "LinkController.h"
#include "MailAccount.h"
#include "MailFile.h"
#include "MailFixtures.h"
#include "MailMessage.h"
#include "MailPoller.h"
#include "MailTexts.h"
#include "OvsimProcess.h"
#include "TempProgramFolder.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

namespace {
// Dates are shown in the user's zone; the tests' user lives in Berlin.
const bool kBerlin = qputenv("TZ", "Europe/Berlin");

MailAccount account(const QString &name, quint16 port, const QString &login, const QString &password,
                    const QString &countGan) {
    MailAccount a;
    a.name = name;
    a.host = QStringLiteral("127.0.0.1");
    a.port = QString::number(port);
    a.fetchFlag = QStringLiteral("-1");
    a.balloonFlag = QStringLiteral("0");
    a.login = login;
    a.password = password;
    a.countGan = countGan;
    return a;
}

// Slot s (from 1) of an account bound to the GANs prefix + "1s", "2s", "3s".
void bindAll(MailAccount &a, const QString &prefix) {
    for (int s = 1; s <= kMailSlotCount; ++s) {
        MailSlot &slot = a.mailSlots[static_cast<size_t>(s - 1)];
        slot.senderGan = prefix + u'1' + QString::number(s);
        slot.subjectGan = prefix + u'2' + QString::number(s);
        slot.dateGan = prefix + u'3' + QString::number(s);
    }
}

QList<QByteArray> threeMessages() {
    return {
        mailMessage({"From: Anna Alt <anna@example.org>", "Subject: Erste", "Date: Mon, 07 Dec 2026 08:30:00 +0000"}),
        mailMessage({"From: =?UTF-8?Q?J=C3=BCrgen_M=C3=BCller?= <juergen@example.org>",
                     "Subject: =?ISO-8859-1?Q?Gr=FC=DFe_aus_K=F6ln?=", "Date: Tue, 08 Dec 2026 23:00:00 +0000"}),
        mailMessage({"From: bob@example.org",
                     "Subject: =?UTF-8?B?UHJlaXM6IDUg4oKsIHwgUmFiYXR0?=", "Date: Wed, 09 Dec 2026 14:05:09 +0100"})};
}

QList<QByteArray> sevenMessages() {
    QList<QByteArray> messages;
    for (int i = 1; i <= 7; ++i)
        messages.append(mailMessage({"From: n" + QByteArray::number(i) + "@example.org",
                                     "Subject: Nachricht " + QByteArray::number(i),
                                     "Date: Tue, 0" + QByteArray::number(i) + " Dec 2026 10:00:00 +0000"}));
    return messages;
}

// A header line of 2 MB, then a message of 10 MB (the newest).
QList<QByteArray> bigMessages() {
    QByteArray body;
    const QByteArray line = QByteArray(76, 'A') + "\r\n";
    while (body.size() < 10 * 1024 * 1024)
        body += line;
    return {mailMessage({"Subject: " + QByteArray(2 * 1024 * 1024, 'b')}),
            mailMessage({"From: gross@example.org", "Subject: =?UTF-8?Q?Gro=C3=9F?="}, body)};
}

// A message that tries to add gateway commands of its own through encoded NUL, CR and LF.
QList<QByteArray> injectionMessages() {
    return {mailMessage({"From: =?utf-8?Q?Anna=0D=0A1|769|1?= <anna@example.org>",
                         "Subject: =?utf-8?Q?Post_ist_da=001|768|1.0?=", "Date: Wed, 09 Dec 2026 14:05:09 +0100"})};
}

// A header of more than 256 KiB whose subject comes after what is kept of it.
QList<QByteArray> longHeaderMessages() {
    QList<QByteArray> header{"From: lang@example.org"};
    for (int i = 0; i < 20000; ++i)
        header.append("X-Filler: " + QByteArray::number(i));
    header.append("Subject: unerreichbar");
    return {mailMessage(header)};
}

constexpr qint64 kHugeMessageBytes = 100 * 1024 * 1024;

// A message of more than 100 MiB (the lines of a base64 attachment), written in pieces of 1 MiB.
bool writeHugeMessage(QIODevice &file) {
    QByteArray header;
    for (const char *line :
         {"From: Riesig <riesig@example.org>", "Subject: 100 MB", "Date: Thu, 10 Dec 2026 12:00:00 +0000",
          "Content-Type: application/octet-stream", "Content-Transfer-Encoding: base64", ""})
        header += QByteArray(line) + "\r\n";
    if (file.write(header) != header.size())
        return false;
    const QByteArray line = QByteArray(76, 'Q') + "\r\n";
    QByteArray piece;
    while (piece.size() + line.size() <= 1024 * 1024)
        piece += line;
    for (qint64 written = 0; written <= kHugeMessageBytes; written += piece.size())
        if (file.write(piece) != piece.size())
            return false;
    return true;
}

// This process's resident memory in KiB: "VmRSS:" now, "VmHWM:" its peak since the last reset.
qint64 memoryKiB(QByteArrayView key) {
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
QList<FakeTrayIcon::Balloon> mailBalloons(const FakeTrayIcon &tray) {
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
} // namespace

class TestMail : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void optionalTextIsWrittenOnlyWhenNotEmpty_data();
    void optionalTextIsWrittenOnlyWhenNotEmpty();
    void fileRoundTrip();
    void fileReadsLikeTheEditorWrote_data();
    void fileReadsLikeTheEditorWrote();
    void fileAfterDeletingAnAccount();
    void fileWithoutASenderGan();
    void fileIsPrivate();
    void readMailFlag_data();
    void readMailFlag();

    void summarizeMessage_data();
    void summarizeMessage();
    void summaryOfHugeHeaderIsBounded();
    void headerCollector_data();
    void headerCollector();
    void mailDateText_data();
    void mailDateText();

    void pollSendsCountAndSlotsNewestFirst();
    void pollWithWrongPasswordGoesOnWithNextAccount();
    void pollOverTls_data();
    void pollOverTls();
    void pollOfHugeMessages();
    void hundredMegabyteMailFillsItsSlotsWithFlatMemory();
    void mailCannotAddGatewayLines();
    void countBeyond32Bits();
    void closingDuringAStalledPoll();
    void pollWithLinkDownConnectsNowhere();
    void pollSkipsAccountsNotFetched();
    void brokenServerEndsTheAccount_data();
    void brokenServerEndsTheAccount();
    void timer3FollowsSwitchAndInterval_data();
    void timer3FollowsSwitchAndInterval();
    void intervalBelowOneMinuteIsOneMinute_data();
    void intervalBelowOneMinuteIsOneMinute();

private:
    std::unique_ptr<DovecotServer> m_dovecot;
    std::unique_ptr<OvsimProcess> m_ovsim;
};

void TestMail::initTestCase() {
    QVERIFY(kBerlin);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_dovecot = std::make_unique<DovecotServer>(QList<DovecotServer::Mailbox>{
        {QStringLiteral("three"), QStringLiteral("geheim3"), threeMessages()},
        {QStringLiteral("seven"), QStringLiteral("geheim7"), sevenMessages()},
        {QStringLiteral("empty"), QStringLiteral("geheim0"), {}},
        {QStringLiteral("big"), QStringLiteral("geheimB"), bigMessages()},
        {QStringLiteral("inject"), QStringLiteral("geheimI"), injectionMessages()},
        {QStringLiteral("huge"), QStringLiteral("geheimH"), longHeaderMessages(), {writeHugeMessage}}});
    QVERIFY(m_dovecot->start());
    m_ovsim = std::make_unique<OvsimProcess>();
    QVERIFY(m_ovsim->start());
}

// ---- file ----

struct Pair {
    QString always;
    QString optional;
};

void TestMail::optionalTextIsWrittenOnlyWhenNotEmpty_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("keyWritten");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("text") << QStringLiteral("768") << true;
    QTest::newRow("blank") << QStringLiteral(" ") << true;
}

void TestMail::optionalTextIsWrittenOnlyWhenNotEmpty() {
    QFETCH(QString, value);
    QFETCH(bool, keyWritten);
    using F = IniFieldTable<Pair>;
    const F table{F::text(QStringLiteral("A"), &Pair::always), F::optionalText(QStringLiteral("O"), &Pair::optional)};
    TempProgramFolder folder;
    IniFile ini(folder.file(QStringLiteral("t.ini")));
    table.write(ini, QStringLiteral("0"), Pair{QString(), value});
    QVERIFY(ini.hasKey(QStringLiteral("0"), QStringLiteral("A")));
    QCOMPARE(ini.hasKey(QStringLiteral("0"), QStringLiteral("O")), keyWritten);
    Pair back{QStringLiteral("x"), QStringLiteral("default")};
    table.read(ini, QStringLiteral("0"), back);
    QCOMPARE(back.optional, keyWritten ? value : QStringLiteral("default"));
}

void TestMail::fileRoundTrip() {
    TempProgramFolder folder;
    MailAccount first = account(QStringLiteral("pop.example.org"), 110, QStringLiteral("anna"),
                                QStringLiteral("p=w;\"x\" "), QStringLiteral("768"));
    first.balloonFlag = QStringLiteral("-1");
    bindAll(first, QStringLiteral("9"));
    first.mailSlots[2].subjectGan.clear();
    MailAccount second = account(QStringLiteral("mail.example.net"), 995, QStringLiteral("bob"), QString(), "1");
    second.fetchFlag = QStringLiteral("0");
    second.tls = true;
    const MailAccountList accounts{first, second};
    const QString path = mailFilePath(folder.path());
    QVERIFY(saveMailFile(path, accounts));
    QCOMPARE(loadMailFile(path).accounts, accounts);

    const IniFile ini(path);
    QCOMPARE(ini.sections(), QStringList({QStringLiteral("0"), QStringLiteral("29")}));
    // The keys are crossed: Balloon holds the fetch flag, GetAc the balloon flag.
    QCOMPARE(ini.readString(QStringLiteral("0"), QStringLiteral("Balloon")), QStringLiteral("-1"));
    QCOMPARE(ini.readString(QStringLiteral("0"), QStringLiteral("GetAc")), QStringLiteral("-1"));
    QCOMPARE(ini.readString(QStringLiteral("29"), QStringLiteral("Balloon")), QStringLiteral("0"));
    QCOMPARE(ini.readString(QStringLiteral("29"), QStringLiteral("GetAc")), QStringLiteral("0"));
    QCOMPARE(ini.readString(QStringLiteral("0"), QStringLiteral("GANBtr1")), QStringLiteral("922"));
    QVERIFY(!ini.hasKey(QStringLiteral("0"), QStringLiteral("GANBtr2")));
    QCOMPARE(ini.readString(QStringLiteral("0"), QStringLiteral("GANZeit4")), QStringLiteral("935"));
    for (const char *key : {"Bezeichnung", "Host", "Port", "Balloon", "GetAc", "Login", "PW", "GANAnz"})
        QVERIFY2(ini.hasKey(QStringLiteral("29"), QLatin1String(key)), key);
    QVERIFY(!ini.hasKey(QStringLiteral("29"), QStringLiteral("GANAbs0")));
    QCOMPARE(ini.readString(QStringLiteral("29"), QStringLiteral("TLS")), QStringLiteral("-1"));
}

void TestMail::fileReadsLikeTheEditorWrote_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("fetchFlags");
    QTest::addColumn<QList<bool>>("polled");
    QTest::newRow("no Balloon key") << QByteArray("[0]\r\nBezeichnung=a\r\nHost=h\r\n") << QStringList{"a"}
                                    << QStringList{"False"} << QList<bool>{false};
    QTest::newRow("True text is kept and not polled") << QByteArray("[0]\r\nBezeichnung=a\r\nBalloon=True\r\n")
                                                      << QStringList{"a"} << QStringList{"True"} << QList<bool>{false};
    QTest::newRow("no Bezeichnung, no account")
        << QByteArray("[0]\r\nHost=h\r\n[29]\r\nBezeichnung=b\r\nBalloon=-1\r\n") << QStringList{"b"}
        << QStringList{"-1"} << QList<bool>{true};
    // Every numbered section counts, in numeric order, also beyond the sixteenth account.
    QTest::newRow("numeric order and above 435")
        << QByteArray("[464]\r\nBezeichnung=late\r\n[58]\r\nBezeichnung=mid\r\n[x]\r\nBezeichnung=no\r\n"
                      "[0]\r\nBezeichnung=first\r\n")
        << QStringList{"first", "mid", "late"} << QStringList{"False", "False", "False"}
        << QList<bool>{false, false, false};
}

void TestMail::fileReadsLikeTheEditorWrote() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, names);
    QFETCH(QStringList, fetchFlags);
    QFETCH(QList<bool>, polled);
    TempProgramFolder folder;
    QVERIFY(folder.write(kMailFileName, file));
    const MailFileContent content = loadMailFile(mailFilePath(folder.path()));
    QVERIFY(content.errorString.isEmpty());
    QStringList gotNames, gotFlags;
    QList<bool> gotPolled;
    for (const MailAccount &a : content.accounts) {
        gotNames << a.name;
        gotFlags << a.fetchFlag;
        gotPolled << a.polled();
        QCOMPARE(a.port, QStringLiteral("110"));
        QCOMPARE(a.balloonFlag, QStringLiteral("False"));
        QVERIFY(!a.tls);
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotFlags, fetchFlags);
    QCOMPARE(gotPolled, polled);
}

void TestMail::fileAfterDeletingAnAccount() {
    TempProgramFolder folder;
    const QString path = mailFilePath(folder.path());
    MailAccountList accounts;
    for (const char *name : {"a", "b", "c"})
        accounts.append(account(QLatin1String(name), 110, QStringLiteral("u"), QString(), QStringLiteral("1")));
    QVERIFY(saveMailFile(path, accounts));
    accounts.removeAt(1);
    QVERIFY(saveMailFile(path, accounts));
    QCOMPARE(loadMailFile(path).accounts, accounts);
    QCOMPARE(IniFile(path).sections(), QStringList({QStringLiteral("0"), QStringLiteral("29")}));
    accounts.clear();
    QVERIFY(saveMailFile(path, accounts));
    QVERIFY(IniFile(path).sections().isEmpty());
    // An empty list creates no file, not even in a folder that is not there.
    const QString nowhere = folder.file(QStringLiteral("fehlt/")) + kMailFileName;
    QVERIFY(saveMailFile(nowhere, {}));
    QVERIFY(!QFile::exists(nowhere));
    QVERIFY(!saveMailFile(nowhere, {account(QStringLiteral("a"), 110, QStringLiteral("u"), QString(), "1")}));
}

void TestMail::fileWithoutASenderGan() {
    TempProgramFolder folder;
    const QString path = mailFilePath(folder.path());
    MailAccount a = account(QStringLiteral("a"), 110, QStringLiteral("u"), QString(), QStringLiteral("1"));
    bindAll(a, QStringLiteral("7"));
    QVERIFY(saveMailFile(path, {a}));
    QVERIFY(IniFile(path).hasKey(QStringLiteral("0"), QStringLiteral("GANAbs0")));
    a.mailSlots[0].senderGan.clear();
    QVERIFY(saveMailFile(path, {a}));
    const IniFile ini(path);
    QVERIFY(!ini.hasKey(QStringLiteral("0"), QStringLiteral("GANAbs0")));
    QVERIFY(ini.hasKey(QStringLiteral("0"), QStringLiteral("GANAbs1")));
    QCOMPARE(loadMailFile(path).accounts, MailAccountList{a});
}

void TestMail::fileIsPrivate() {
    TempProgramFolder folder;
    const QString path = mailFilePath(folder.path());
    QVERIFY(saveMailFile(path, {account(QStringLiteral("a"), 110, QStringLiteral("u"), QStringLiteral("pw"), "1")}));
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(path) & others, QFile::Permissions());
    QVERIFY(QFile::permissions(path).testFlags(QFile::ReadOwner | QFile::WriteOwner));
}

void TestMail::readMailFlag_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: no boolean
    QTest::newRow("-1") << "-1" << 1;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("false") << "false" << 0;
    QTest::newRow("7") << "7" << 1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("ja") << "ja" << -1;
}

void TestMail::readMailFlag() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<bool> flag = ::readMailFlag(text);
    QCOMPARE(flag.has_value(), expected >= 0);
    if (flag)
        QCOMPARE(*flag, expected == 1);
}

// ---- header reading ----

void TestMail::summarizeMessage_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("date"); // ISO with offset, empty for none

    QTest::newRow("encoded umlauts") << mailMessage({"From: =?UTF-8?Q?J=C3=BCrgen?= <j@example.org>",
                                                     "Subject: =?ISO-8859-1?Q?Gr=FC=DFe?=",
                                                     "Date: Tue, 08 Dec 2026 23:00:00 +0000"})
                                     << QString::fromUtf8("Jürgen <j@example.org>") << QString::fromUtf8("Grüße")
                                     << "2026-12-08T23:00:00Z";
    QTest::newRow("name equals address in capitals")
        << mailMessage({"From: \"J@EXAMPLE.ORG\" <j@example.org>", "Subject: x"}) << "j@example.org"
        << "x"
        << "";
    QTest::newRow("nothing") << mailMessage({"X-Other: 1"}) << ""
                             << ""
                             << "";
    QTest::newRow("broken encoded word") << mailMessage({"From: a@example.org",
                                                         "Subject: =?UTF-8?Q?Gr=C3?= ok =?UTF-8?B?###?="})
                                         << "a@example.org"
                                         << ""
                                         << "";
    QTest::newRow("unknown charset") << mailMessage({"Subject: =?x-klingon?Q?abc?="}) << ""
                                     << "abc"
                                     << "";
    QTest::newRow("raw UTF-8") << mailMessage({"Subject: " + QString::fromUtf8("Bücher").toUtf8()}) << ""
                               << QString::fromUtf8("Bücher") << "";
    // 0x81 is a control character in Windows-1252's extension of Latin-1, so it goes as a blank.
    QTest::newRow("8-bit garbage") << mailMessage({"Subject: a\xfc\xff\x81z"}) << "" << QString::fromUtf8("aüÿ z")
                                   << "";
    QTest::newRow("unknown charset, Windows-1252 bytes")
        << mailMessage({"Subject: =?x-unknown?Q?Gr=FC=DFe?="}) << "" << QString::fromUtf8("Grüße") << "";
    QTest::newRow("unknown charset, UTF-8 bytes")
        << mailMessage({"Subject: =?x-unknown?Q?Gr=C3=BC=C3=9Fe?="}) << "" << QString::fromUtf8("Grüße") << "";
    QTest::newRow("bytes beyond their charset")
        << mailMessage({"Subject: =?us-ascii?Q?Gr=FC=DFe?="}) << "" << QString::fromUtf8("Grüße") << "";
    QTest::newRow("encoded NUL in the subject") << mailMessage({"Subject: =?utf-8?Q?Post_ist_da=001|768|1.0?="}) << ""
                                                << "Post ist da 1|768|1.0"
                                                << "";
    QTest::newRow("encoded CR LF in the name")
        << mailMessage({"From: =?utf-8?Q?Anna=0D=0A1|769|1?= <anna@example.org>"}) << "Anna  1|769|1 <anna@example.org>"
        << ""
        << "";
    QTest::newRow("tab and line separator") << mailMessage({"Subject: =?utf-8?Q?a=09b=E2=80=A8c?="}) << ""
                                            << "a b c"
                                            << "";
    QTest::newRow("domain no UTF-8") << mailMessage({"From: x@\xF7"}) << QString::fromUtf8("x@÷") << ""
                                     << "";
    QTest::newRow("long domain no UTF-8") << mailMessage({"From: \"N\" <x@" + QByteArray(40, '\xF7') + ".example>"})
                                          << "N <x@" + QString(40, QChar(0xF7)) + ".example>"
                                          << ""
                                          << "";
    QTest::newRow("domain with a broken UTF-8 sequence")
        << mailMessage({"From: x@m\xC3\xBCnchen\xE2\x82.de"}) << AnsiText::decode("x@m\xC3\xBCnchen\xE2\x82.de") << ""
        << "";
    QTest::newRow("date with offset") << mailMessage({"Date: Wed, 09 Dec 2026 14:05:09 +0100"}) << ""
                                      << ""
                                      << "2026-12-09T14:05:09+01:00";
    QTest::newRow("date 14 hours east") << mailMessage({"Date: Wed, 09 Dec 2026 14:05:09 +1400"}) << ""
                                        << ""
                                        << "2026-12-09T14:05:09+14:00";
    QTest::newRow("date 14 hours west") << mailMessage({"Date: Wed, 09 Dec 2026 14:05:09 -1400"}) << ""
                                        << ""
                                        << "2026-12-09T14:05:09-14:00";
    QTest::newRow("date offset beyond 14 hours") << mailMessage({"Date: Wed, 09 Dec 2026 14:05:09 +1401"}) << ""
                                                 << ""
                                                 << "";
    QTest::newRow("date offset beyond -14 hours") << mailMessage({"Date: Wed, 09 Dec 2026 14:05:09 -2000"}) << ""
                                                  << ""
                                                  << "";
    // VMime's word parser throws a standard exception on this one (found by fuzzing).
    QTest::newRow("word the parser cannot cut")
        << QByteArray::fromHex(
               "5375626a6563743a203d3f5554462d383f513f47723d4333203d3f5554462d383f513f47723d43333f3d206f"
               "6b203d3f5554462d383f423f23232d8e16006061000023"
               "3f3d0d3f3d206f6b203d3f5554462d383f423f23232d8e160060610000233f3d0d0a0d0a48616c6c6f2e0d0a")
        << ""
        << ""
        << "";
    QTest::newRow("date garbage") << mailMessage({"Date: neulich"}) << ""
                                  << ""
                                  << "";
    QTest::newRow("body is not header") << QByteArray("Subject: oben\r\n\r\nSubject: unten\r\n") << ""
                                        << "oben"
                                        << "";
}

void TestMail::summarizeMessage() {
    QFETCH(QByteArray, message);
    QFETCH(QString, sender);
    QFETCH(QString, subject);
    QFETCH(QString, date);
    const MailSummary summary = ::summarizeMessage(message);
    // The same bytes give the same texts, every time.
    QCOMPARE(::summarizeMessage(message), summary);
    QCOMPARE(summary.sender, sender);
    if (QByteArray(QTest::currentDataTag()) == "broken encoded word")
        QVERIFY(summary.subject.contains(QStringLiteral("ok"))); // what can be read stays
    else
        QCOMPARE(summary.subject, subject);
    if (QByteArray(QTest::currentDataTag()) == "date garbage")
        return; // any reading will do, as long as nothing breaks
    QCOMPARE(summary.date.has_value(), !date.isEmpty());
    if (summary.date)
        QCOMPARE(*summary.date, QDateTime::fromString(date, Qt::ISODate));
}

void TestMail::summaryOfHugeHeaderIsBounded() {
    // A header line of 10 MB: whatever the keeper cut off, the reading ends and keeps its start.
    const QByteArray message = "Subject: " + QByteArray(10 * 1024 * 1024, 'a') + "\r\n\r\nbody\r\n";
    const MailSummary summary = ::summarizeMessage(message.left(MailFetchOptions().headerBytes));
    QVERIFY(summary.subject.startsWith(QStringLiteral("aaaa")));
    QVERIFY(summary.subject.size() <= MailFetchOptions().headerBytes);
}

void TestMail::headerCollector_data() {
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("cut");
    QTest::newRow("CR LF") << QByteArray("A: 1\r\nB: 2\r\n\r\nbody\r\n\r\nmore") << 100
                           << QByteArray("A: 1\r\nB: 2\r\n") << false;
    QTest::newRow("LF") << QByteArray("A: 1\n\nbody\n") << 100 << QByteArray("A: 1\n") << false;
    QTest::newRow("no body") << QByteArray("A: 1\r\nB: 2") << 100 << QByteArray("A: 1\r\nB: 2") << false;
    QTest::newRow("empty line first") << QByteArray("\r\nA: 1\r\n") << 100 << QByteArray() << false;
    QTest::newRow("CR starting a line") << QByteArray("A: 1\r\n\rB\r\n\r\nbody") << 100 << QByteArray("A: 1\r\n\rB\r\n")
                                        << false;
    QTest::newRow("ends in a CR") << QByteArray("A: 1\r\n\r") << 100 << QByteArray("A: 1\r\n\r") << false;
    QTest::newRow("longer than the limit")
        << QByteArray("A: 123456789\r\n\r\nbody") << 8 << QByteArray("A: 12345") << true;
    QTest::newRow("exactly the limit") << QByteArray("A: 1\r\n\r\nbody") << 6 << QByteArray("A: 1\r\n") << false;
    QTest::newRow("a CR beyond the limit") << QByteArray("A: 1\r\n\rX") << 6 << QByteArray("A: 1\r\n") << true;
}

void TestMail::headerCollector() {
    QFETCH(QByteArray, message);
    QFETCH(int, limit);
    QFETCH(QByteArray, header);
    QFETCH(bool, cut);
    // However the bytes arrive.
    for (const qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(5), message.size()}) {
        MailHeaderCollector collector(limit);
        for (qsizetype at = 0; at < message.size(); at += piece)
            collector.take(QByteArrayView(message).sliced(at, std::min(piece, message.size() - at)));
        QCOMPARE(collector.header(), header);
        QCOMPARE(collector.cut(), cut);
        QCOMPARE(collector.messageBytes(), message.size());
    }
}

void TestMail::mailDateText_data() {
    QTest::addColumn<QString>("iso");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << "2026-12-09T14:05:09+01:00"
                               << "09.12.26 14:05:09";
    QTest::newRow("to local time") << "2026-12-07T08:30:00Z"
                                   << "07.12.26 09:30:00";
    QTest::newRow("midnight local") << "2026-12-08T23:00:00Z"
                                    << "09.12.26";
    QTest::newRow("a second past midnight") << "2026-12-08T23:00:01Z"
                                            << "09.12.26 00:00:01";
    QTest::newRow("summer time") << "2026-07-01T10:00:00Z"
                                 << "01.07.26 12:00:00";
}

void TestMail::mailDateText() {
    QFETCH(QString, iso);
    QFETCH(QString, text);
    const QTimeZone berlin("Europe/Berlin");
    QCOMPARE(
        ::mailDateText(QDateTime::fromString(iso, Qt::ISODate), QLocale(QLocale::German, QLocale::Germany), berlin),
        text);
}

// ---- the poll ----

void TestMail::pollSendsCountAndSlotsNewestFirst() {
    PollRig rig(m_ovsim->gatewayPort());
    GatewayObserver observer;
    QVERIFY(observer.connectTo(m_ovsim->gatewayPort(), m_ovsim->key()));
    QVERIFY(rig.connectLink());
    MailAccount three = account(QStringLiteral("Drei"), m_dovecot->port(), "three", "geheim3", "61000");
    bindAll(three, QStringLiteral("610"));
    three.balloonFlag = QStringLiteral("-1");
    MailAccount seven = account(QStringLiteral("Sieben"), m_dovecot->port(), "seven", "geheim7", "62000");
    for (int s = 0; s < kMailSlotCount; ++s)
        seven.mailSlots[static_cast<size_t>(s)].subjectGan = QStringLiteral("6202") + QString::number(s + 1);
    seven.mailSlots[4].senderGan = QStringLiteral("62015");
    MailAccount empty = account(QStringLiteral("Leer"), m_dovecot->port(), "empty", "geheim0", "63000");
    bindAll(empty, QStringLiteral("630"));
    rig.accounts = {three, seven, empty};
    QVERIFY(rig.pollAndWait());

    const QStringList expectedThree{
        "2|61000|3",
        "2|61011|bob@example.org",
        QString::fromUtf8("2|61021|Preis: 5 € | Rabatt"),
        "2|61031|09.12.26 14:05:09",
        QString::fromUtf8("2|61012|Jürgen Müller <juergen@example.org>"),
        QString::fromUtf8("2|61022|Grüße aus Köln"),
        "2|61032|09.12.26",
        "2|61013|Anna Alt <anna@example.org>",
        "2|61023|Erste",
        "2|61033|07.12.26 09:30:00",
    };
    QTRY_COMPARE(observer.lines(QStringLiteral("610")), expectedThree);
    const QStringList expectedSeven{"2|62000|7",           "2|62021|Nachricht 7", "2|62022|Nachricht 6",
                                    "2|62023|Nachricht 5", "2|62024|Nachricht 4", "2|62015|n3@example.org",
                                    "2|62025|Nachricht 3"};
    QTRY_COMPARE(observer.lines(QStringLiteral("620")), expectedSeven);
    QTRY_COMPARE(observer.lines(QStringLiteral("630")), QStringList{"2|63000|0"});

    const QList<FakeTrayIcon::Balloon> balloons = mailBalloons(rig.tray);
    QCOMPARE(balloons.size(), 1);
    QCOMPARE(balloons.at(0).text, QStringLiteral("3 Emails bei Drei"));
    QCOMPARE(balloons.at(0).timeoutMs, 2000);
    QCOMPARE(rig.tray.hint(), QStringLiteral("3 Emails bei Drei"));
    QVERIFY(rig.dialogs.boxes.isEmpty());
    // Each exchange ends with QUIT, whatever Dovecot counts as retrieved.
    QTRY_VERIFY(m_dovecot->log().count(QStringLiteral("Disconnected: Logged out")) >= 3);
}

void TestMail::pollWithWrongPasswordGoesOnWithNextAccount() {
    PollRig rig(m_ovsim->gatewayPort());
    GatewayObserver observer;
    QVERIFY(observer.connectTo(m_ovsim->gatewayPort(), m_ovsim->key()));
    QVERIFY(rig.connectLink());
    rig.accounts = {account(QStringLiteral("Falsch"), m_dovecot->port(), "three", "falsch", "64000"),
                    account(QStringLiteral("Kein Port"), 0, "three", "geheim3", "64100"),
                    account(QStringLiteral("Leer"), m_dovecot->port(), "empty", "geheim0", "64200")};
    rig.accounts[1].port = QStringLiteral("pop");
    QVERIFY(rig.pollAndWait());
    QTRY_COMPARE(observer.lines(QStringLiteral("64")), QStringList{"2|64200|0"});
    const QStringList errors = rig.dialogs.texts(FakeDialogs::Kind::Error);
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors.at(0).startsWith(QStringLiteral("Email-Abruf bei Falsch fehlgeschlagen: ")),
             qPrintable(errors.at(0)));
    QCOMPARE(errors.at(1),
             QStringLiteral("Email-Abruf bei Kein Port fehlgeschlagen: 'pop' ist kein gültiger Integerwert."));
    QVERIFY(rig.link.busMonitor().lines().contains(errors.at(0)));
    QVERIFY(rig.link.busMonitor().lines().contains(errors.at(1)));
}

void TestMail::pollOverTls_data() {
    QTest::addColumn<bool>("pop3s");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("POP3S on 995's role") << true << true;
    QTest::newRow("STLS") << false << true;
    QTest::newRow("POP3S, certificate not trusted") << true << false;
    QTest::newRow("STLS, certificate not trusted") << false << false;
}

void TestMail::pollOverTls() {
    QFETCH(bool, pop3s);
    QFETCH(bool, trusted);
    MailFetchOptions options;
    if (trusted)
        options.extraTrustedCertificates = {m_dovecot->certificate()};
    // The server's POP3S port stands for 995: a free port is all a test can have.
    MailAccount a = account(QStringLiteral("Sicher"), pop3s ? m_dovecot->pop3sPort() : m_dovecot->port(), "three",
                            "geheim3", "65000");
    a.tls = !pop3s;
    const std::atomic_bool cancelled = false;
    if (pop3s)
        options.pop3sPort = m_dovecot->pop3sPort();
    const MailboxReport report = fetchMailbox({a.host, a.port, a.login, a.password, a.tls}, options, cancelled);
    QCOMPARE(report.error.isEmpty(), trusted);
    QCOMPARE(report.count.has_value(), trusted);
    if (trusted) {
        QCOMPARE(*report.count, qint64(3));
        QCOMPARE(report.newest.size(), 3);
        QCOMPARE(report.newest.at(0).sender, QStringLiteral("bob@example.org"));
    }
}

void TestMail::pollOfHugeMessages() {
    const std::atomic_bool cancelled = false;
    const MailboxReport report = fetchMailbox({QStringLiteral("127.0.0.1"), QString::number(m_dovecot->port()),
                                               QStringLiteral("big"), QStringLiteral("geheimB"), false},
                                              MailFetchOptions(), cancelled);
    QCOMPARE(report.error, QString());
    QCOMPARE(report.count, std::optional<qint64>(2));
    QCOMPARE(report.newest.size(), 2);
    QCOMPARE(report.newest.at(0).sender, QStringLiteral("gross@example.org"));
    QCOMPARE(report.newest.at(0).subject, QString::fromUtf8("Groß"));
    QVERIFY(!report.newest.at(0).headerCut);
    // Only the start of a header line that long is kept.
    QVERIFY(report.newest.at(1).subject.startsWith(QStringLiteral("bbbb")));
    QVERIFY(report.newest.at(1).subject.size() < MailFetchOptions().headerBytes);
    QVERIFY(report.newest.at(1).headerCut);
}

void TestMail::hundredMegabyteMailFillsItsSlotsWithFlatMemory() {
    PollRig rig(m_ovsim->gatewayPort());
    GatewayObserver observer;
    QVERIFY(observer.connectTo(m_ovsim->gatewayPort(), m_ovsim->key()));
    QVERIFY(rig.connectLink());
    MailAccount huge = account(QStringLiteral("Riesig"), m_dovecot->port(), "huge", "geheimH", "67000");
    bindAll(huge, QStringLiteral("670"));
    rig.accounts = {huge};
    QVERIFY(rig.warmUp(m_dovecot->port()));
    const MemoryPeak memory;
    QVERIFY(memory.ready());
    QVERIFY(rig.pollAndWait());
    const qint64 growth = memory.growthKiB();
    QVERIFY2(growth < kFlatMemoryKiB, qPrintable(QStringLiteral("grew by %1 KiB").arg(growth)));

    QTRY_COMPARE(observer.lines(QStringLiteral("670")),
                 QStringList({"2|67000|2", "2|67011|Riesig <riesig@example.org>", "2|67021|100 MB",
                              "2|67031|10.12.26 13:00:00", "2|67012|lang@example.org", "2|67022|", "2|67032|"}));
    QCOMPARE(rig.dialogs.boxes.size(), 0);
    // The second message's header went beyond what is kept: the bus monitor says so.
    QVERIFY(rig.link.busMonitor().lines().contains(
        kMailHeaderCut.arg(QStringLiteral("Riesig"), QStringLiteral("2"), QStringLiteral("256"))));
    // The whole message went over the wire (RETR, not TOP), as Dovecot counts it.
    static const QRegularExpression retrieved(QStringLiteral("pop3\\(huge\\).*retr=2/(\\d+)"));
    QTRY_VERIFY(retrieved.match(m_dovecot->log()).hasMatch());
    QVERIFY(retrieved.match(m_dovecot->log()).captured(1).toLongLong() > kHugeMessageBytes);
}

void TestMail::mailCannotAddGatewayLines() {
    PollRig rig(m_ovsim->gatewayPort());
    GatewayObserver observer;
    QVERIFY(observer.connectTo(m_ovsim->gatewayPort(), m_ovsim->key()));
    QVERIFY(rig.connectLink());
    MailAccount inject = account(QStringLiteral("Post"), m_dovecot->port(), "inject", "geheimI", "69000");
    inject.mailSlots[0].senderGan = QStringLiteral("69011");
    inject.mailSlots[0].subjectGan = QStringLiteral("69021");
    rig.accounts = {inject};
    // The simulator greets a client with every value it holds; once this line comes back, the
    // greeting is in, and every later line is news.
    QVERIFY(observer.send(QStringLiteral("1|69998|Anfang")));
    QTRY_COMPARE(observer.lines(QStringLiteral("69998")), QStringList{"2|69998|Anfang"});
    const qsizetype greeting = observer.lines(QString()).size();
    QVERIFY(rig.pollAndWait());
    // A line after the poll's: once it is in, every line the poll sent has been handled.
    QVERIFY(rig.link.sendLine(QStringLiteral("1|69999|Ende")));
    QTRY_COMPARE(observer.lines(QStringLiteral("69999")), QStringList{"2|69999|Ende"});
    QCOMPARE(observer.lines(QStringLiteral("690")),
             QStringList({"2|69000|1", "2|69011|Anna  1|769|1 <anna@example.org>", "2|69021|Post ist da 1|768|1.0"}));
    for (const QString &forged : {QStringLiteral("768"), QStringLiteral("769")}) {
        const QStringList news = observer.lines(QString()).mid(greeting);
        QVERIFY2(std::none_of(news.cbegin(), news.cend(),
                              [&](const QString &line) { return line.section(u'|', 1, 1) == forged; }),
                 qPrintable(forged));
    }
    QVERIFY(!rig.link.busMonitor().lines().contains(LinkController::kLineBreaksBlanked));
}

void TestMail::countBeyond32Bits() {
    BrokenPop3Server server(BrokenPop3Server::Fault::HugeCount);
    PollRig rig(m_ovsim->gatewayPort());
    GatewayObserver observer;
    QVERIFY(observer.connectTo(m_ovsim->gatewayPort(), m_ovsim->key()));
    QVERIFY(rig.connectLink());
    MailAccount many = account(QStringLiteral("Viele"), server.port(), "u", "p", "69100");
    many.balloonFlag = QStringLiteral("-1");
    for (int s = 0; s < kMailSlotCount; ++s)
        many.mailSlots[static_cast<size_t>(s)].subjectGan = QStringLiteral("6912") + QString::number(s + 1);
    rig.accounts = {many};
    QVERIFY(rig.pollAndWait());
    const QString count = QString::fromLatin1(BrokenPop3Server::kHugeCount);
    QStringList expected{"2|69100|" + count};
    QList<QByteArray> numbers;
    for (int s = 0; s < kMailSlotCount; ++s) {
        const QString number = QString::number(count.toLongLong() - s);
        expected.append(QStringLiteral("2|6912%1|Nummer %2").arg(s + 1).arg(number));
        numbers.append(number.toLatin1());
    }
    QTRY_COMPARE(observer.lines(QStringLiteral("691")), expected);
    QCOMPARE(server.retrieved(), numbers);
    QCOMPARE(rig.tray.hint(), count + QStringLiteral(" Emails bei Viele"));
}

void TestMail::closingDuringAStalledPoll() {
    BrokenPop3Server server(BrokenPop3Server::Fault::StallInMessage);
    auto rig = std::make_unique<PollRig>(m_ovsim->gatewayPort());
    QVERIFY(rig->connectLink());
    rig->accounts = {account(QStringLiteral("Kaputt"), server.port(), "u", "p", "68000")};
    rig->poller.Timer3Timer();
    QTRY_VERIFY(server.retrieving());
    // The exchange waits for a server that says nothing more (30 s); closing ends it at once.
    rig.reset();
}

void TestMail::pollWithLinkDownConnectsNowhere() {
    QTcpServer mailbox;
    QVERIFY(mailbox.listen(QHostAddress::LocalHost, 0));
    PollRig rig(m_ovsim->gatewayPort());
    rig.accounts = {account(QStringLiteral("a"), mailbox.serverPort(), "u", "p", "1")};
    rig.poller.Timer3Timer();
    QVERIFY(!rig.poller.pollRunning());
    QVERIFY(!mailbox.waitForNewConnection(200));
}

void TestMail::pollSkipsAccountsNotFetched() {
    PollRig rig(m_ovsim->gatewayPort());
    GatewayObserver observer;
    QVERIFY(observer.connectTo(m_ovsim->gatewayPort(), m_ovsim->key()));
    QVERIFY(rig.connectLink());
    MailAccount off = account(QStringLiteral("Aus"), m_dovecot->port(), "empty", "geheim0", "66000");
    off.fetchFlag = QStringLiteral("True");
    MailAccount on = account(QStringLiteral("An"), m_dovecot->port(), "empty", "geheim0", "66100");
    on.balloonFlag = QStringLiteral("True"); // only "-1" shows the balloon
    rig.accounts = {off, on};
    QVERIFY(rig.pollAndWait());
    QTRY_COMPARE(observer.lines(QStringLiteral("66")), QStringList{"2|66100|0"});
    QVERIFY(mailBalloons(rig.tray).isEmpty());
}

void TestMail::brokenServerEndsTheAccount_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("gans"); // each row its own objects: the simulator keeps every value
    QTest::addColumn<bool>("counted"); // STAT answered before the fault
    QTest::newRow("stalls in a message") << int(BrokenPop3Server::Fault::StallInMessage) << kMailServerTimeout << "671"
                                         << true;
    // A message streams through whatever its length; the exchange's time ends it.
    QTest::newRow("endless line in a message")
        << int(BrokenPop3Server::Fault::EndlessLine) << kMailServerTooSlow.arg(4) << "672" << true;
    QTest::newRow("garbage greeting") << int(BrokenPop3Server::Fault::GarbageGreeting)
                                      << kMailNotPop3.arg(QStringLiteral("* OK IMAP4rev1 bereit")) << "673" << false;
    QTest::newRow("endless greeting") << int(BrokenPop3Server::Fault::EndlessGreeting) << kMailServerTooMuch << "674"
                                      << false;
    QTest::newRow("drop after USER") << int(BrokenPop3Server::Fault::DropAfterUser) << kMailConnectionLost << "675"
                                     << false;
}

void TestMail::brokenServerEndsTheAccount() {
    QFETCH(int, fault);
    QFETCH(QString, reason);
    QFETCH(QString, gans);
    QFETCH(bool, counted);
    BrokenPop3Server server(static_cast<BrokenPop3Server::Fault>(fault));
    MailFetchOptions options;
    options.inactivityTimeoutMs = 1000;
    options.exchangeTimeoutMs = 4000;
    options.exchangeByteBudget = 4 * 1024 * 1024;
    PollRig rig(m_ovsim->gatewayPort(), options);
    GatewayObserver observer;
    QVERIFY(observer.connectTo(m_ovsim->gatewayPort(), m_ovsim->key()));
    QVERIFY(rig.connectLink());
    MailAccount broken = account(QStringLiteral("Kaputt"), server.port(), "u", "p", gans + "00");
    broken.mailSlots[0].subjectGan = gans + "01";
    rig.accounts = {broken, account(QStringLiteral("Leer"), m_dovecot->port(), "empty", "geheim0", gans + "10")};
    QVERIFY(rig.warmUp(m_dovecot->port()));
    const MemoryPeak memory;
    QVERIFY(memory.ready());
    QVERIFY(rig.pollAndWait());
    const qint64 growth = memory.growthKiB();
    QVERIFY2(growth < kFlatMemoryKiB, qPrintable(QStringLiteral("grew by %1 KiB").arg(growth)));
    // The count was sent if STAT answered; the slot was not; the next account was asked.
    QStringList expected{"2|" + gans + "10|0"};
    if (counted)
        expected.prepend("2|" + gans + "00|1");
    QTRY_COMPARE(observer.lines(gans), expected);
    QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error),
             QStringList{QStringLiteral("Email-Abruf bei Kaputt fehlgeschlagen: ") + reason});
    // The link goes on.
    QVERIFY(rig.link.sendLine("1|" + gans + "99|weiter"));
    QTRY_COMPARE(observer.lines(gans + "99"), QStringList{"2|" + gans + "99|weiter"});
}

void TestMail::timer3FollowsSwitchAndInterval_data() {
    QTest::addColumn<QStringList>("steps"); // "on", "off", or an interval text
    QTest::addColumn<bool>("active");
    QTest::addColumn<int>("intervalMs");
    QTest::addColumn<int>("errors");
    QTest::newRow("off at first") << QStringList{} << false << 300000 << 0;
    QTest::newRow("on") << QStringList{"on"} << true << 300000 << 0;
    QTest::newRow("interval while off") << QStringList{"7"} << false << 420000 << 0;
    QTest::newRow("interval while on") << QStringList{"on", "2"} << true << 120000 << 0;
    QTest::newRow("off again") << QStringList{"on", "off"} << false << 300000 << 0;
    QTest::newRow("no number stops it") << QStringList{"on", "abc"} << false << 300000 << 1;
    QTest::newRow("a click starts it again") << QStringList{"on", "abc", "on"} << true << 300000 << 1;
}

void TestMail::timer3FollowsSwitchAndInterval() {
    QFETCH(QStringList, steps);
    QFETCH(bool, active);
    QFETCH(int, intervalMs);
    QFETCH(int, errors);
    PollRig rig(m_ovsim->gatewayPort());
    for (const QString &step : steps) {
        if (step == QStringLiteral("on") || step == QStringLiteral("off"))
            rig.poller.OVGETMAILClick(step == QStringLiteral("on"));
        else
            rig.poller.OVMAILTIMEChange(step);
    }
    auto *timer3 = rig.poller.findChild<QTimer *>(QStringLiteral("Timer3"));
    QVERIFY(timer3);
    QCOMPARE(timer3->isActive(), active);
    QCOMPARE(timer3->interval(), intervalMs);
    QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error).size(), errors);
}

void TestMail::intervalBelowOneMinuteIsOneMinute_data() {
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("minuteMs");
    QTest::newRow("0") << "0" << 60000;
    QTest::newRow("-5") << "-5" << 60000;
    QTest::newRow("0, a short minute") << " 0 " << 50;
}

void TestMail::intervalBelowOneMinuteIsOneMinute() {
    QFETCH(QString, minutes);
    QFETCH(int, minuteMs);
    PollRig rig(m_ovsim->gatewayPort());
    rig.poller.setMinuteMs(minuteMs);
    rig.poller.OVGETMAILClick(true);
    rig.poller.OVMAILTIMEChange(minutes);
    auto *timer3 = rig.poller.findChild<QTimer *>(QStringLiteral("Timer3"));
    QVERIFY(timer3);
    QVERIFY(timer3->isActive());
    QCOMPARE(timer3->interval(), minuteMs);
    QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Information),
             QStringList{kMailIntervalRaised.arg(minutes.trimmed())});
    QVERIFY(rig.dialogs.texts(FakeDialogs::Kind::Error).isEmpty());
    // A valid interval later is taken as it is, without a word.
    rig.poller.OVMAILTIMEChange(QStringLiteral("3"));
    QCOMPARE(timer3->interval(), 3 * minuteMs);
    QCOMPARE(rig.dialogs.boxes.size(), 1);
}

QTEST_MAIN(TestMail)
#include "tst_mail.moc"

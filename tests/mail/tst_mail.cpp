// Mail polling against a real Dovecot, with the lines as they reach the Orvanel simulator.
#include "DovecotServer.h"
#include "MailFetcher.h"
#include "MailPollRig.h"
#include "MailTexts.h"
#include "OvsimProcess.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
// Dates are shown in the user's zone; the tests' user lives in Berlin.
const bool kBerlin = qputenv("TZ", "Europe/Berlin");

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
} // namespace

class TestMail : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

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
    void pollWithoutItsPluginFailsEveryAccount_data();
    void pollWithoutItsPluginFailsEveryAccount();
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
    // The poll loads the built mailbox plugin.
    qputenv("QUENDRA_MAIL_PLUGIN", QUENDRA_MAIL_PLUGIN_FILE);
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
    QVERIFY(!rig.link.busMonitor().lines().contains(LinkTexts::kLineBreaksBlanked));
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

void TestMail::pollWithoutItsPluginFailsEveryAccount_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("reason"); // how the reason begins; %1 the file
    QTest::newRow("missing") << false << QStringLiteral("Das Email-Modul „%1“ fehlt.");
    QTest::newRow("no library") << true << QStringLiteral("Das Email-Modul „%1“ lässt sich nicht laden (");
}

// Each account fails with the reason, as any failed exchange; the next poll loads the plugin anew.
void TestMail::pollWithoutItsPluginFailsEveryAccount() {
    QFETCH(bool, exists);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString plugin = dir.filePath(QStringLiteral("libquendra_mailbox.so"));
    if (exists) {
        QFile file(plugin);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kein ELF") == 8);
    }
    PollRig rig(m_ovsim->gatewayPort());
    QVERIFY(rig.connectLink());
    rig.accounts = {account(QStringLiteral("Eins"), m_dovecot->port(), "empty", "geheim0", "69100"),
                    account(QStringLiteral("Zwei"), m_dovecot->port(), "empty", "geheim0", "69200")};
    qputenv("QUENDRA_MAIL_PLUGIN", plugin.toLocal8Bit());
    const bool polled = rig.pollAndWait();
    qputenv("QUENDRA_MAIL_PLUGIN", QUENDRA_MAIL_PLUGIN_FILE);
    QVERIFY(polled);
    const QStringList errors = rig.dialogs.texts(FakeDialogs::Kind::Error);
    QCOMPARE(errors.size(), 2);
    for (int a = 0; a < 2; ++a) {
        const QString start =
            QStringLiteral("Email-Abruf bei %1 fehlgeschlagen: ").arg(rig.accounts[a].name) + reason.arg(plugin);
        QVERIFY2(errors.at(a).startsWith(start), qPrintable(errors.at(a)));
        QVERIFY(rig.link.busMonitor().lines().contains(errors.at(a)));
    }
    rig.dialogs.boxes.clear();
    QVERIFY(rig.pollAndWait());
    QVERIFY(rig.dialogs.boxes.isEmpty());
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
        << int(BrokenPop3Server::Fault::EndlessLine) << kMailServerTooSlow.arg(3) << "672" << true;
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
    options.exchangeTimeoutMs = 3000;
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

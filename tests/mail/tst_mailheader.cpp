// Reading a message's header: sender, subject and date as the slots get them, however the
// header is encoded, broken or long.
#include "AnsiText.h"
#include "MailFetcher.h"
#include "MailFixtures.h"
#include "MailMessage.h"

#include <QtTest>

class TestMailHeader : public QObject {
    Q_OBJECT

private slots:
    void summarizeMessage_data();
    void summarizeMessage();
    void summaryOfHugeHeaderIsBounded();
    void headerCollector_data();
    void headerCollector();
    void mailDateText_data();
    void mailDateText();
};

void TestMailHeader::summarizeMessage_data() {
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

void TestMailHeader::summarizeMessage() {
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

void TestMailHeader::summaryOfHugeHeaderIsBounded() {
    // A header line of 10 MB: whatever the keeper cut off, the reading ends and keeps its start.
    const QByteArray message = "Subject: " + QByteArray(10 * 1024 * 1024, 'a') + "\r\n\r\nbody\r\n";
    const MailSummary summary = ::summarizeMessage(message.left(MailFetchOptions().headerBytes));
    QVERIFY(summary.subject.startsWith(QStringLiteral("aaaa")));
    QVERIFY(summary.subject.size() <= MailFetchOptions().headerBytes);
}

void TestMailHeader::headerCollector_data() {
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

void TestMailHeader::headerCollector() {
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

void TestMailHeader::mailDateText_data() {
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

void TestMailHeader::mailDateText() {
    QFETCH(QString, iso);
    QFETCH(QString, text);
    const QTimeZone berlin("Europe/Berlin");
    QCOMPARE(
        ::mailDateText(QDateTime::fromString(iso, Qt::ISODate), QLocale(QLocale::German, QLocale::Germany), berlin),
        text);
}

QTEST_MAIN(TestMailHeader)
#include "tst_mailheader.moc"

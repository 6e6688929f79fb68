// The mail accounts' file: what is written, what is read back, and who may read it.
#include "IniFieldTable.h"
#include "IniFile.h"
#include "MailAccount.h"
#include "MailFile.h"
#include "MailFixtures.h"
#include "TempProgramFolder.h"

#include <QFile>
#include <QtTest>

class TestMailFile : public QObject {
    Q_OBJECT

private slots:
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
};

struct Pair {
    QString always;
    QString optional;
};

void TestMailFile::optionalTextIsWrittenOnlyWhenNotEmpty_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("keyWritten");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("text") << QStringLiteral("768") << true;
    QTest::newRow("blank") << QStringLiteral(" ") << true;
}

void TestMailFile::optionalTextIsWrittenOnlyWhenNotEmpty() {
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

void TestMailFile::fileRoundTrip() {
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

void TestMailFile::fileReadsLikeTheEditorWrote_data() {
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

void TestMailFile::fileReadsLikeTheEditorWrote() {
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

void TestMailFile::fileAfterDeletingAnAccount() {
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

void TestMailFile::fileWithoutASenderGan() {
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

void TestMailFile::fileIsPrivate() {
    TempProgramFolder folder;
    const QString path = mailFilePath(folder.path());
    QVERIFY(saveMailFile(path, {account(QStringLiteral("a"), 110, QStringLiteral("u"), QStringLiteral("pw"), "1")}));
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(path) & others, QFile::Permissions());
    QVERIFY(QFile::permissions(path).testFlags(QFile::ReadOwner | QFile::WriteOwner));
}

void TestMailFile::readMailFlag_data() {
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

void TestMailFile::readMailFlag() {
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<bool> flag = ::readMailFlag(text);
    QCOMPARE(flag.has_value(), expected >= 0);
    if (flag)
        QCOMPARE(*flag, expected == 1);
}

QTEST_MAIN(TestMailFile)
#include "tst_mailfile.moc"

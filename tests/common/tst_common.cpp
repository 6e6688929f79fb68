#include "AnsiText.h"
#include "DecimalComma.h"
#include "Hex.h"
#include "IniFile.h"
#include "ProgramPaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCommon : public QObject {
    Q_OBJECT

    static QByteArray readFile(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeFile(const QString &path, const QByteArray &bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void ansiRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << u"1|768|1.0"_qs << QByteArray("1|768|1.0");
        QTest::newRow("umlauts") << u"Küche Öl ß"_qs
                                 << QByteArray("K\xfc"
                                               "che \xd6l \xdf");
        QTest::newRow("euro and Y diaeresis") << u"€ Ÿ"_qs << QByteArray("\x80 \x9f");
        QTest::newRow("undefined bytes survive") << QString(QChar(0x81)) + QChar(0x9D) << QByteArray("\x81\x9d");
    }
    void ansiRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(AnsiText::encode(text), bytes);
        QCOMPARE(AnsiText::decode(bytes), text);
    }
    void ansiUnmappableBecomesQuestionMark() {
        QCOMPARE(AnsiText::encode(u"a\u4e2db\U0001F600c"_qs), QByteArray("a?b??c"));
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        QCOMPARE(AnsiText::encode(AnsiText::decode(all)), all);
    }

    void hexPairs_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::newRow("ABC") << u"414243"_qs << true << u"ABC"_qs;
        QTest::newRow("odd length ignores last") << u"41424"_qs << true << u"AB"_qs;
        QTest::newRow("lower case") << u"6c6C"_qs << true << u"ll"_qs;
        QTest::newRow("empty") << QString() << true << QString();
        QTest::newRow("single digit") << u"4"_qs << true << QString();
        QTest::newRow("non hex") << u"4G"_qs << false << QString();
        QTest::newRow("non hex later") << u"41zz"_qs << false << QString();
        QTest::newRow("NUL") << u"00"_qs << true << QString(QChar(0));
        QTest::newRow("ansi") << u"e4"_qs << true << u"ä"_qs;
    }
    void hexPairs() {
        QFETCH(QString, input);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        const auto decoded = HexToText(input);
        QCOMPARE(decoded.has_value(), ok);
        if (ok)
            QCOMPARE(*decoded, text);
    }

    void decimalComma_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("truncated");
        QTest::newRow("1,0") << u"1,0"_qs << true << qint64(1);
        QTest::newRow("21,5") << u"21,5"_qs << true << qint64(21);
        QTest::newRow("negative toward zero") << u"-3,9"_qs << true << qint64(-3);
        QTest::newRow("100,9") << u"100,9"_qs << true << qint64(100);
        QTest::newRow("plain integer") << u"55"_qs << true << qint64(55);
        QTest::newRow("leading comma") << u",5"_qs << true << qint64(0);
        QTest::newRow("exponent") << u"1,5E2"_qs << true << qint64(150);
        QTest::newRow("empty") << QString() << false << qint64(0);
        QTest::newRow("word") << u"abc"_qs << false << qint64(0);
        QTest::newRow("point is no separator") << u"1.5"_qs << false << qint64(0);
        QTest::newRow("two commas") << u"1,2,3"_qs << false << qint64(0);
        QTest::newRow("sign only") << u"-"_qs << false << qint64(0);
        QTest::newRow("too large for 64 bits") << u"99999999999999999999"_qs << false << qint64(0);
        QTest::newRow("largest that fits") << u"9223372036854774784"_qs << true << qint64(9223372036854774784LL);
    }
    void decimalComma() {
        QFETCH(QString, input);
        QFETCH(bool, ok);
        QFETCH(qint64, truncated);
        const auto value = DecimalComma::truncated(input);
        QCOMPARE(value.has_value(), ok);
        if (ok)
            QCOMPARE(*value, truncated);
    }

    void iniReadRules_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray file = "garbage line\r\n[Orvanel]\r\nIP = 10.0.0.5 \r\nKEY=\"quoted\"\r\nnoequals\r\n"
                                "Port=1\r\nPort=2\r\n[orvanel]\r\nIP=second\r\n[Other]\r\nName=K\xfc"
                                "che\r\nBlank=   \r\n";
        QTest::newRow("trimmed") << file << u"Orvanel"_qs << u"IP"_qs << u"10.0.0.5"_qs;
        QTest::newRow("section and key case") << file << u"ORVANEL"_qs << u"ip"_qs << u"10.0.0.5"_qs;
        QTest::newRow("quotes removed") << file << u"Orvanel"_qs << u"Key"_qs << u"quoted"_qs;
        QTest::newRow("first duplicate key wins") << file << u"Orvanel"_qs << u"Port"_qs << u"1"_qs;
        QTest::newRow("missing key default") << file << u"Orvanel"_qs << u"Nope"_qs << u"<default>"_qs;
        QTest::newRow("missing section default") << file << u"None"_qs << u"IP"_qs << u"<default>"_qs;
        QTest::newRow("windows-1252") << file << u"Other"_qs << u"Name"_qs << u"Küche"_qs;
        QTest::newRow("blanks read empty") << file << u"Other"_qs << u"Blank"_qs << QString();
        QTest::newRow("LF only") << QByteArray("[a]\nb=c\n") << u"a"_qs << u"b"_qs << u"c"_qs;
    }
    void iniReadRules() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"t.ini"_qs);
        writeFile(path, content);
        QCOMPARE(IniFile(path).readString(section, key, u"<default>"_qs), expected);
    }

    void iniReadInt_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << u"8080"_qs << 8080;
        QTest::newRow("negative") << u"-1"_qs << -1;
        QTest::newRow("word") << u"abc"_qs << 42;
        QTest::newRow("yes") << u"yes"_qs << 42;
        QTest::newRow("trailing garbage") << u"12abc"_qs << 42;
        QTest::newRow("decimal") << u"1.5"_qs << 42;
        QTest::newRow("too large") << u"99999999999"_qs << 42;
        QTest::newRow("empty") << QString() << 42;
    }
    void iniReadInt() {
        QFETCH(QString, value);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"t.ini"_qs);
        writeFile(path, "[s]\nk=" + value.toLatin1() + "\n");
        QCOMPARE(IniFile(path).readInt(u"s"_qs, u"k"_qs, 42), expected);
    }

    void iniWriteKeepsOtherContentAndOrder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"t.ini"_qs);
        writeFile(path, "[A]\nx=1\ny=2\n\n[B]\nz=3\n");
        IniFile ini(path);
        ini.writeString(u"a"_qs, u"Y"_qs, u"20"_qs);                       // replaced in place, case-insensitively
        ini.writeString(u"A"_qs, u"new"_qs, u"n"_qs);                      // appended to its section
        ini.writeString(u"C"_qs, u"w"_qs, u"Zeile1\r\nZeile2\nZeile3"_qs); // line breaks cannot forge keys
        ini.eraseSection(u"b"_qs);
        QVERIFY(ini.save());
        QCOMPARE(readFile(path), QByteArray("[A]\nx=1\ny=20\nnew=n\n\n[C]\nw=Zeile1 Zeile2 Zeile3\n"));
        QCOMPARE(IniFile(path).sections(), QStringList({u"A"_qs, u"C"_qs}));
    }

    void iniSaveIsAtomicAndPrivate() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"secret.ini"_qs);
        QVERIFY(IniFile::writeOne(path, u"Orvanel"_qs, u"Key"_qs, u"geheim"_qs, nullptr,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(QFile(path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        QCOMPARE(IniFile(path).readString(u"orvanel"_qs, u"key"_qs), u"geheim"_qs);
        // A folder that cannot be written (here: a plain file stands where the folder should be,
        // which fails for root too): the error names the file.
        writeFile(dir.filePath(u"plain"_qs), "x");
        const QString unreachable = dir.filePath(u"plain/quendra.ini"_qs);
        QString error;
        QVERIFY(!IniFile::writeOne(unreachable, u"Orvanel"_qs, u"Key"_qs, u"neu"_qs, &error));
        QVERIFY(error.contains(unreachable));
    }

    void programPathsEndWithSeparator() {
        QCOMPARE(ProgramPaths(u"/tmp/x"_qs).programFolder(), u"/tmp/x/"_qs);
        QCOMPARE(ProgramPaths(u"/tmp/x/"_qs).settingsFile(), u"/tmp/x/quendra.ini"_qs);
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"

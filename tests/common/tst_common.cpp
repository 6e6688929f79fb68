#include "AnsiText.h"
#include "CheckedFileWriter.h"
#include "DecimalComma.h"
#include "FileMessages.h"
#include "Hex.h"
#include "IniFieldTable.h"
#include "IniFile.h"
#include "ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
        QTest::newRow("tabs trimmed") << QByteArray("[a]\n\tb\t=\t c\t\n") << u"a"_qs << u"b"_qs << u"c"_qs;
        QTest::newRow("no-break space is text") << QByteArray("[a]\nb=\xa0"
                                                              "c\xa0\n")
                                                << u"a"_qs << u"b"_qs << u"\u00a0c\u00a0"_qs;
        QTest::newRow("one pair of quotes removed")
            << QByteArray("[a]\nb=\"\"c\"\"\n") << u"a"_qs << u"b"_qs << u"\"c\""_qs;
        QTest::newRow("byte-order mark before the first section")
            << QByteArray("\xef\xbb\xbf[0]\r\nb=c\r\n") << u"0"_qs << u"b"_qs << u"c"_qs;
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

    // Whatever the writer stores, the reader gives back.
    void iniWriteReadIsTheIdentity_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line"); // as the file holds it
        QTest::newRow("plain") << u"Licht"_qs << QByteArray("k=Licht");
        QTest::newRow("enclosing double quotes") << u"\"Licht\""_qs << QByteArray("k=\"\"Licht\"\"");
        QTest::newRow("enclosing single quotes") << u"'1,0'"_qs << QByteArray("k=\"'1,0'\"");
        QTest::newRow("edge blanks") << u" 1,0 "_qs << QByteArray("k=\" 1,0 \"");
        QTest::newRow("edge blanks inside quotes") << u"' 1,0 '"_qs << QByteArray("k=\"' 1,0 '\"");
        QTest::newRow("edge tab") << u"\tx"_qs << QByteArray("k=\"\tx\"");
        QTest::newRow("blanks only") << u"   "_qs << QByteArray("k=\"   \"");
        QTest::newRow("trailing no-break space") << u"Licht\u00a0"_qs << QByteArray("k=Licht\xa0");
        QTest::newRow("one quote") << u"\""_qs << QByteArray("k=\"");
        QTest::newRow("quotes that do not enclose") << u"\"a' b"_qs << QByteArray("k=\"a' b");
        QTest::newRow("inner quotes") << u"a \"b\" c"_qs << QByteArray("k=a \"b\" c");
        QTest::newRow("empty") << QString() << QByteArray("k=");
    }
    void iniWriteReadIsTheIdentity() {
        QFETCH(QString, value);
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"t.ini"_qs);
        QVERIFY(IniFile::writeOne(path, u"s"_qs, u"k"_qs, value));
        QCOMPARE(readFile(path), "[s]\r\n" + line + "\r\n");
        QCOMPARE(IniFile(path).readString(u"s"_qs, u"k"_qs), value);
        // And again: a second round trip changes nothing.
        QVERIFY(IniFile::writeOne(path, u"s"_qs, u"other"_qs, u"x"_qs));
        QCOMPARE(IniFile(path).readString(u"s"_qs, u"k"_qs), value);
    }

    // A file keeps its line ends and its byte-order mark; a new file gets CR LF.
    void iniSaveKeepsLineEnds_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after"); // after writing k=2 into [0]
        QTest::newRow("new file") << QByteArray() << QByteArray("[0]\r\nk=2\r\n");
        QTest::newRow("CR LF") << QByteArray("[0]\r\nk=1\r\n[x]\r\ny=1\r\n")
                               << QByteArray("[0]\r\nk=2\r\n[x]\r\ny=1\r\n");
        QTest::newRow("LF") << QByteArray("[0]\nk=1\n[x]\ny=1\n") << QByteArray("[0]\nk=2\n[x]\ny=1\n");
        // The line's text ends in CR: written with LF alone, the next read would cut it off.
        QTest::newRow("LF, a value ending in CR")
            << QByteArray("[0]\nk=1\n[x]\ny=a\r\r\n") << QByteArray("[0]\nk=2\n[x]\ny=a\r\r\n");
        // Mixed line ends: the save writes LF, and the next save keeps it so.
        QTest::newRow("one line with LF alone")
            << QByteArray("[0]\r\nk=1\r\n[x]\ny=1\r\n") << QByteArray("[0]\nk=2\n[x]\ny=1\n");
        QTest::newRow("LF after a first line ending in CR")
            << QByteArray("a\r\r\n[0]\nk=1\n") << QByteArray("a\r\r\n[0]\nk=2\n");
        QTest::newRow("blank first line before what looks like a byte-order mark")
            << QByteArray("\n\xef\xbb\xbf[s]\nk=v\n") << QByteArray("\n\xef\xbb\xbf[s]\nk=v\n[0]\nk=2\n");
        QTest::newRow("no line end at all") << QByteArray("[0]") << QByteArray("[0]\r\nk=2\r\n");
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf[0]\r\nk=1\r\n")
                                         << QByteArray("\xef\xbb\xbf[0]\r\nk=2\r\n");
    }
    void iniSaveKeepsLineEnds() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"t.ini"_qs);
        if (!before.isEmpty())
            writeFile(path, before);
        QVERIFY(IniFile::writeOne(path, u"0"_qs, u"k"_qs, u"2"_qs));
        QCOMPARE(readFile(path), after);
    }

    // A file that exists but cannot be read is never written over: what it holds besides the
    // keys being written would be lost.
    void iniSaveRefusesAnUnreadFile_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("a folder where the file should be") << true;
        QTest::newRow("larger than the read budget") << false;
    }
    void iniSaveRefusesAnUnreadFile() {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quendramenu.ini"_qs);
        QByteArray before;
        if (folder) {
            QVERIFY(QDir().mkdir(path));
        } else {
            before = "[Fremd]\r\nWert=1\r\n";
            before.resize(IniFile::kMaxFileBytes + 1, ' ');
            writeFile(path, before);
        }
        IniFile ini(path);
        QVERIFY(!ini.readOk());
        QVERIFY2(ini.errorString().contains(path), qPrintable(ini.errorString()));
        ini.writeString(u"0"_qs, u"Bezeichnung"_qs, u"Licht"_qs);
        QVERIFY(!ini.save());
        QVERIFY2(ini.errorString().contains(path), qPrintable(ini.errorString()));
        QString error;
        QVERIFY(!IniFile::writeOne(path, u"0"_qs, u"Bezeichnung"_qs, u"Licht"_qs, &error));
        QVERIFY2(error.contains(path), qPrintable(error));
        if (folder)
            QVERIFY(QFileInfo(path).isDir());
        else
            QVERIFY(readFile(path) == before); // every byte kept (QCOMPARE would print 16 MiB)
    }

    // One key table reads and writes every kind; what the file lacks or cannot hold as a number
    // keeps the default the object had.
    void iniFieldTable_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QByteArray>("written");
        const QByteArray all = "Name=x\r\nCount=7\r\nOn=1\r\nActive=-1\r\n";
        QTest::newRow("every key") << QByteArray("[r]\r\n" + all) << u"x"_qs << 7 << true << true
                                   << QByteArray("[r]\r\n" + all);
        QTest::newRow("missing keys keep defaults")
            << QByteArray("[r]\r\n") << u"def"_qs << 3 << false << true
            << QByteArray("[r]\r\nName=def\r\nCount=3\r\nOn=0\r\nActive=-1\r\n");
        QTest::newRow("any other number is true, a word keeps the default")
            << QByteArray("[r]\r\nOn=2\r\nActive=5\r\nCount=zwei\r\n") << u"def"_qs << 3 << true << true
            << QByteArray("[r]\r\nOn=1\r\nActive=-1\r\nCount=3\r\nName=def\r\n");
        QTest::newRow("zero is false") << QByteArray("[r]\r\nOn=0\r\nActive=0\r\n") << u"def"_qs << 3 << false << false
                                       << QByteArray("[r]\r\nOn=0\r\nActive=0\r\nName=def\r\nCount=3\r\n");
    }
    void iniFieldTable() {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(int, count);
        QFETCH(bool, on);
        QFETCH(bool, active);
        QFETCH(QByteArray, written);
        struct Record {
            QString name = u"def"_qs;
            int count = 3;
            bool on = false;
            bool active = true;
        };
        using F = IniFieldTable<Record>;
        const F table{F::text(u"Name"_qs, &Record::name), F::number(u"Count"_qs, &Record::count),
                      F::flag(u"On"_qs, &Record::on), F::minusOneFlag(u"Active"_qs, &Record::active)};
        QTemporaryDir dir;
        const QString path = dir.filePath(u"t.ini"_qs);
        writeFile(path, file);
        IniFile ini(path);
        Record record;
        table.read(ini, u"R"_qs, record);
        QCOMPARE(record.name, name);
        QCOMPARE(record.count, count);
        QCOMPARE(record.on, on);
        QCOMPARE(record.active, active);
        table.write(ini, u"r"_qs, record);
        QVERIFY(ini.save());
        QCOMPARE(readFile(path), written);
    }

    void ansiCanEncode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("encodable");
        QTest::newRow("ascii") << u"/home/user/"_qs << true;
        QTest::newRow("umlauts and euro") << u"/home/jörg/€/"_qs << true;
        QTest::newRow("Polish l with stroke") << u"/home/łukasz/"_qs << false;
        QTest::newRow("emoji") << u"/tmp/\U0001F600/"_qs << false;
    }
    void ansiCanEncode() {
        QFETCH(QString, text);
        QFETCH(bool, encodable);
        QCOMPARE(AnsiText::canEncode(text), encodable);
        QCOMPARE(AnsiText::decode(AnsiText::encode(text)) == text, encodable);
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

    // A save that cannot be made leaves the file as it was and nothing beside it, and its message
    // names the file; after the failure the writer takes nothing more.
    void writerKeepsTheOldFileWhenItCannotSave_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("name");
        QTest::newRow("a folder where the file should be") << u"folder"_qs << u"quendra.ini"_qs;
        QTest::newRow("the folder is gone") << u"gone"_qs << u"quendra.ini"_qs;
        QTest::newRow("a plain file where the folder should be") << u"plain"_qs << u"quendra.ini"_qs;
        // The temporary name adds seven bytes; such a name would save once and then never again.
        QTest::newRow("249 bytes") << u"old"_qs << QString(245, u'a') + u".ovw"_qs;
        // Bytes count, not characters: 131 characters, 254 bytes.
        QTest::newRow("two-byte letters") << u"old"_qs << QString(123, u'ä') + u"-qnd.wcv"_qs;
    }
    void writerKeepsTheOldFileWhenItCannotSave() {
        QFETCH(QString, setup);
        QFETCH(QString, name);
        QTemporaryDir dir;
        QString folder = dir.path();
        if (setup == u"gone")
            folder = dir.filePath(u"weg"_qs);
        if (setup == u"plain") {
            writeFile(dir.filePath(u"weg"_qs), "x");
            folder = dir.filePath(u"weg"_qs);
        }
        const QString path = folder + u'/' + name;
        const QByteArray old = "[Orvanel]\r\nKey=alt\r\n";
        if (setup == u"folder")
            QVERIFY(QDir().mkdir(path));
        if (setup == u"old")
            writeFile(path, old);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        CheckedFileWriter writer(path);
        const bool saved = writer.open() && writer.write(QByteArray(100000, 'n')) && writer.commit();
        QVERIFY(!saved);
        QVERIFY2(writer.errorString().startsWith(FileMessages::cannotWrite(path, {}).chopped(1)),
                 qPrintable(writer.errorString()));
        QVERIFY(!writer.reason().isEmpty());
        QVERIFY(!writer.write("more"));
        QVERIFY(!writer.commit());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        if (setup == u"old")
            QCOMPARE(readFile(path), old);
        if (setup == u"folder")
            QVERIFY(QFileInfo(path).isDir());
        QString error;
        QVERIFY(!CheckedFileWriter::writeFile(path, "neu", &error));
        QCOMPARE(error, writer.errorString());
    }

    // The longest name whose temporary name still fits saves again and again.
    void writerSavesTheLongestNameEveryTime() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(244, u'a') + u".ovw"_qs);
        QVERIFY(CheckedFileWriter::nameProblem(path).isEmpty());
        QVERIFY(!CheckedFileWriter::nameProblem(dir.filePath(QString(245, u'a') + u".ovw"_qs)).isEmpty());
        for (const QByteArray &bytes : {QByteArray("eins"), QByteArray("zwei"), QByteArray("drei")}) {
            QString error;
            QVERIFY2(CheckedFileWriter::writeFile(path, bytes, &error), qPrintable(error));
            QCOMPARE(readFile(path), bytes);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // The rename is the last step; when it fails (here a folder took the file's place meanwhile),
    // the temporary file, which then has its name, goes too.
    void writerLeavesNothingWhenTheRenameFails() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quendramenu.ini"_qs);
        writeFile(path, "alt");
        CheckedFileWriter writer(path);
        QVERIFY(writer.open());
        QVERIFY(writer.write("neu"));
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        QVERIFY(!writer.commit());
        QVERIFY2(writer.errorString().contains(path), qPrintable(writer.errorString()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"quendramenu.ini"_qs});
        QVERIFY(QFileInfo(path).isDir());
    }

    // A save that is given up, or a writer that goes before its commit, changes nothing.
    void writerWithoutCommitChangesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quendramail.ini"_qs);
        writeFile(path, "alt");
        {
            CheckedFileWriter dropped(path);
            QVERIFY(dropped.open());
            QVERIFY(dropped.write("neu"));
            CheckedFileWriter discarded(path);
            QVERIFY(discarded.open());
            QVERIFY(discarded.write("neu"));
            discarded.discard();
            QVERIFY(!discarded.commit());
        }
        QCOMPARE(readFile(path), QByteArray("alt"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"quendramail.ini"_qs});
    }

    // What counts as a leftover of an interrupted save: the file's name, a dot and six letters, as
    // Qt makes them. Anything else beside the file is the user's and stays.
    void leftoversAreTheWritersOnly_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("removed");
        QTest::newRow("the file's temporary names")
            << QStringList{u"quendra.ini"_qs, u"quendra.ini.ATMfQW"_qs, u"quendra.ini.zzzzzz"_qs}
            << QStringList{u"quendra.ini.ATMfQW"_qs, u"quendra.ini.zzzzzz"_qs};
        QTest::newRow("also when the file itself is gone")
            << QStringList{u"quendramail.ini.AbCdEf"_qs} << QStringList{u"quendramail.ini.AbCdEf"_qs};
        QTest::newRow("digits, other lengths, other names")
            << QStringList{u"quendra.ini.Ab3dEf"_qs,    u"quendra.ini.AbCdE"_qs,   u"quendra.ini.AbCdEfG"_qs,
                           u"quendra.ini-AbCdEf"_qs,    u"xquendra.ini.AbCdEf"_qs, u"quendra.ini.AbCdEf.bak"_qs,
                           u"quendramenu.ini.AbCdEf"_qs}
            << QStringList{};
    }
    void leftoversAreTheWritersOnly() {
        QFETCH(QStringList, present);
        QFETCH(QStringList, removed);
        QTemporaryDir dir;
        for (const QString &name : present)
            writeFile(dir.filePath(name), "x");
        const QStringList gone =
            CheckedFileWriter::removeLeftovers({dir.filePath(u"quendra.ini"_qs), dir.filePath(u"quendramail.ini"_qs),
                                                dir.filePath(u"fehlt/quendraload.ini"_qs)});
        QCOMPARE(QStringList(gone).replaceInStrings(dir.path() + u'/', QString()).join(u','),
                 QStringList(removed).join(u','));
        QStringList left = present;
        for (const QString &name : removed)
            left.removeOne(name);
        left.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), left);
    }

    // Files named by the user (web-checker projects, templates, exports) are found by their ending.
    void leftoversInAFolderByEnding() {
        QTemporaryDir dir;
        const QStringList kept{u"Wetter-host-qnd.ovw"_qs, u"notiz.txt.AbCdEf"_qs, u"Wetter-qnd.htip.Ab1dEf"_qs};
        const QStringList removed{u"Wetter-host-qnd.ovw.AbCdEf"_qs, u"Grad-qnd.wcv.XyZxYz"_qs,
                                  u"Wetter-qnd.htip.QwErTy"_qs};
        for (const QString &name : kept + removed)
            writeFile(dir.filePath(name), "x");
        QStringList gone =
            CheckedFileWriter::removeLeftoversIn(dir.path(), {u"-qnd.ovw"_qs, u"-qnd.wcv"_qs, u"-qnd.htip"_qs});
        gone.replaceInStrings(dir.path() + u'/', QString());
        gone.sort();
        QStringList expected = removed;
        expected.sort();
        QCOMPARE(gone, expected);
        QStringList left = kept;
        left.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), left);
    }

    // The help and the browser plugin beside the program win (build tree, portable copy); an
    // installed program finds them in the data or the private library folder beside its "bin";
    // without either the message names the place beside.
    void programFilesAreFoundBesideOrInstalled_data() {
        QTest::addColumn<bool>("plugin");
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("help beside") << false << true << false << u"usr/bin/help/quendra.html"_qs;
        QTest::newRow("help installed") << false << false << true << u"usr/share/quendra/help/quendra.html"_qs;
        QTest::newRow("help both") << false << true << true << u"usr/bin/help/quendra.html"_qs;
        QTest::newRow("help neither") << false << false << false << u"usr/bin/help/quendra.html"_qs;
        QTest::newRow("plugin beside") << true << true << false << u"usr/bin/libquendra_browser.so"_qs;
        QTest::newRow("plugin installed")
            << true << false << true << u"usr/lib/quendra/plugins/libquendra_browser.so"_qs;
        QTest::newRow("plugin neither") << true << false << false << u"usr/bin/libquendra_browser.so"_qs;
    }
    void programFilesAreFoundBesideOrInstalled() {
        QFETCH(bool, plugin);
        QFETCH(bool, beside);
        QFETCH(bool, installed);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(u"usr/bin/help"_qs) && dir.mkpath(u"usr/share/quendra/help"_qs) &&
                dir.mkpath(u"usr/lib/quendra/plugins"_qs));
        const QString besideFile = plugin ? u"usr/bin/libquendra_browser.so"_qs : u"usr/bin/help/quendra.html"_qs;
        const QString installedFile =
            plugin ? u"usr/lib/quendra/plugins/libquendra_browser.so"_qs : u"usr/share/quendra/help/quendra.html"_qs;
        if (beside)
            writeFile(dir.filePath(besideFile), "<html>");
        if (installed)
            writeFile(dir.filePath(installedFile), "<html>");
        const QString bin = dir.filePath(u"usr/bin"_qs);
        QCOMPARE(plugin ? ProgramPaths::browserPluginFor(bin) : ProgramPaths::helpFileFor(bin), dir.filePath(expected));
    }

    // Tools and tests that are not the program file name the browser plugin they use.
    void browserPluginNamedInTheEnvironmentWins() {
        qputenv("QUENDRA_BROWSER_PLUGIN", "/elsewhere/browser.so");
        QCOMPARE(ProgramPaths::browserPlugin(), u"/elsewhere/browser.so"_qs);
        qunsetenv("QUENDRA_BROWSER_PLUGIN");
    }

    void programPathsEndWithSeparator() {
        QCOMPARE(ProgramPaths(u"/tmp/x"_qs).programFolder(), u"/tmp/x/"_qs);
        QCOMPARE(ProgramPaths(u"/tmp/x/"_qs).settingsFile(), u"/tmp/x/quendra.ini"_qs);
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"

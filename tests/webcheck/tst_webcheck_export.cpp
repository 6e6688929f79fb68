#include "PageSource.h"
#include "ServerSearch.h"
#include "WebQueryCheck.h"
#include "WebQueryExport.h"

#include <QRandomGenerator>
#include <QTest>

namespace {
const QByteArray kSearch = R"(22701|2|<?CMD CMD="CHGID" OLDID="123" ?>|0||2|)";
const QByteArray kClosing = R"(22701|2|<?CMD CMD="CHGID" OLDID="123" ?>|0||0|0|0|0|0|0|0)";

QByteArray search(const QByteArray &hex) {
    return kSearch + hex + "|0|0|0|0|0";
}

QByteArray object(char operation, const QByteArray &table, const QByteArray &name, const QByteArray &type,
                  char conversion = '0') {
    return R"(22701|2|<?CMD CMD="CHGID" OLDID="123" ?>|0||)" + QByteArray(1, operation) + '|' + table +
           R"(|<?OBJ TYPE="11001" ID="124" TEXT=")" + name + R"(" FMT=")" + type + R"(" ?>|0|)" +
           QByteArray(1, conversion) + "|0|0";
}

AnalysisEntry entry(qsizetype start, qsizetype end, const QString &definition) {
    AnalysisEntry e;
    e.start = QString::number(start);
    e.end = QString::number(end);
    e.definition = definition;
    e.koName = definition.mid(7).section(u'|', 0, 0);
    return e;
}

WebQueryProject project(const QList<AnalysisEntry> &entries) {
    return WebQueryProject{u"Test"_qs, u"h"_qs, u"80"_qs, u"/p.html"_qs, entries};
}

QList<QByteArray> lines(const QByteArray &bytes) {
    QList<QByteArray> all = bytes.split('\n');
    all.removeLast();
    for (QByteArray &line : all) {
        if (!line.endsWith('\r'))
            qFatal("a line without CR LF");
        line.chop(1);
    }
    return all;
}

// What the check shows in each object row, in file order.
QStringList objectRowValues(const QByteArray &file, const QByteArray &source) {
    WebQueryCheck::File read = WebQueryCheck::read(file, u"Test-qnd.htip"_qs);
    if (!read.error.isEmpty())
        qFatal("%s", qPrintable(read.error));
    WebQueryCheck::searchPass(read.rows, PageSource::viewText(source));
    QStringList values;
    for (const WebQueryCheck::Row &row : read.rows)
        if (row.operation == u"4" || row.operation == u"6")
            values.append(row.value);
    return values;
}

// Pieces of realistic pages: runs of blanks, repeated cells and entities, case variants.
QByteArray generatedPage(QRandomGenerator &random) {
    static const QByteArray pieces[] = {"<td>", "<TD>", "</td>", "<tr>", "&nbsp;", "----", "\r\n", "\t",
                                        "Temp", "TEMP", "12",    "7",    "a",      "A",    "<b>",  "</B>"};
    QByteArray page;
    const int count = random.bounded(5, 120);
    for (int i = 0; i < count; ++i) {
        if (random.bounded(4) == 0)
            page += QByteArray(random.bounded(1, 40), ' ');
        else
            page += pieces[random.bounded(int(std::size(pieces)))];
    }
    return page;
}
} // namespace

class TestWebCheckExport : public QObject {
    Q_OBJECT

private slots:
    void hex_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("hex");
        QTest::newRow("abc") << QByteArray("abc") << u"616263"_qs;
        QTest::newRow("CR LF") << QByteArray("\r\n") << u"0D0A"_qs;
        QTest::newRow("8-bit") << QByteArray("\xE4\xFF") << u"E4FF"_qs;
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void hex() {
        QFETCH(QByteArray, text);
        QFETCH(QString, hex);
        QCOMPARE(QString::fromLatin1(WebQueryExport::EncodeHex(text)), hex);
        QCOMPARE(WebQueryCheck::DecodeHex(hex), std::optional<QByteArray>(text));
    }

    void decodeHexOfOddOrForeignText_data() {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<std::optional<QByteArray>>("decoded");
        QTest::newRow("last digit unpaired") << u"6162A"_qs << std::optional<QByteArray>("ab");
        QTest::newRow("lower case") << u"6a"_qs << std::optional<QByteArray>("j");
        QTest::newRow("not hexadecimal") << u"6G"_qs << std::optional<QByteArray>();
    }
    void decodeHexOfOddOrForeignText() {
        QFETCH(QString, hex);
        QFETCH(std::optional<QByteArray>, decoded);
        QCOMPARE(WebQueryCheck::DecodeHex(hex), decoded);
    }

    void serverSearch_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("hit");
        QTest::newRow("first at or after the cursor") << u"abcabc"_qs << u"bc"_qs << 3 << 5;
        QTest::newRow("case ignored") << u"<TD>x"_qs << u"<td>"_qs << 1 << 1;
        QTest::newRow("overlapping blanks") << u"x      "_qs << u"     "_qs << 3 << 3;
        QTest::newRow("miss") << u"abc"_qs << u"abcd"_qs << 1 << 0;
        QTest::newRow("empty text at the cursor") << u"abc"_qs << QString() << 4 << 4;
    }
    void serverSearch() {
        QFETCH(QString, source);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(int, hit);
        QCOMPARE(ServerSearch::find(source, text, cursor), hit);
    }

    void countIncludesOverlaps() {
        QCOMPARE(ServerSearch::countBetween(u"----------"_qs, u"----"_qs, 1, 7), 6);
        QCOMPARE(ServerSearch::countBetween(u"----------"_qs, u"----"_qs, 3, 7), 4);
        QCOMPARE(ServerSearch::countBetween(u"a-A-a"_qs, u"a"_qs, 1, 5), 2);
        QCOMPARE(ServerSearch::countBetween(u"aaa"_qs, u"a"_qs, 2, 2), 0);
    }

    void projectWithoutEntriesGivesFiveLines() {
        const auto outcome = WebQueryExport::build(project({}), "<p>x</p>");
        QVERIFY(outcome.error.isEmpty());
        QCOMPARE(outcome.bytes,
                 QByteArray("IMPORT:IPBIDIR,VERSION:1.0\r\n"
                            "PROJ:7f3c9e21d04b5a86c2e1f09b3d7a4c58\r\n"
                            "LIB:NO\r\n"
                            R"(22700|<?CMD CMD="ID" OLDID="123" ?>|0|0|Test|h|80|1||/p.html||0|||0|0||0|0)"
                            "\r\n" +
                            kClosing + "\r\n"));
        QCOMPARE(WebQueryExport::fileName(u"Test"_qs), u"Test-qnd.htip"_qs);
    }

    void valueRecords_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QList<QByteArray>>("records");
        QTest::addColumn<QString>("shown");
        QTest::newRow("unique LeadMarker at five")
            << QByteArray("abcdefghij<b>42</b>") << 14 << 15 << u"4|0|03|Temp|"_qs
            << QList<QByteArray>{search("696A3C623E"), object('4', "0", "Temp", "03"), search("3C2F62"), kClosing}
            << u"42</b"_qs;
        QTest::newRow("list table") << QByteArray("abcdefghij<b>42</b>") << 14 << 15 << u"6|0|03|Temp|a|b|"_qs
                                    << QList<QByteArray>{search("696A3C623E"),
                                                         object('6', "610D0A620D0A", "Temp", "03"), search("3C2F62"),
                                                         kClosing}
                                    << u"42</b"_qs;
        QTest::newRow("value at the very end")
            << QByteArray("abcdefghij<b>42") << 14 << 15 << u"4|0|03|Temp|"_qs
            << QList<QByteArray>{search("696A3C623E"), object('4', "0", "Temp", "03"), search(""), kClosing}
            << u"42"_qs;
        QTest::newRow("LeadMarker ignores case")
            << QByteArray("1<TD>1<td>5") << 11 << 11 << u"4|1|00|X"_qs
            << QList<QByteArray>{search("3E313C74643E"), object('4', "0", "X", "00", '1'), search(""), kClosing}
            << u"5"_qs;
        QTest::newRow("overlapping blanks")
            << QByteArray("<td>      12</td>") << 11 << 12 << u"4|0|03|T"_qs
            << QList<QByteArray>{search("202020202020"), object('4', "0", "T", "03"), search("3C2F74"), kClosing}
            << u"12</t"_qs;
        QTest::newRow("K repeats over overlapping occurrences")
            << QByteArray("aaaaaaaaaaaa7") << 13 << 13 << u"4|0|01|K"_qs
            << QList<QByteArray>{search("61616161616161616161"),
                                 kClosing,
                                 search("61616161616161616161"),
                                 kClosing,
                                 search("61616161616161616161"),
                                 object('4', "0", "K", "01"),
                                 search(""),
                                 kClosing}
            << u"7"_qs;
        QTest::newRow("marker shorter than five at the page start")
            << QByteArray("ab42") << 3 << 4 << u"4|0|03|T"_qs
            << QList<QByteArray>{search("6162"), object('4', "0", "T", "03"), search(""), kClosing} << u"42"_qs;
        QTest::newRow("no object record for another code")
            << QByteArray("abcdefghij<b>42</b>") << 14 << 15 << u"5|0|03|Temp"_qs
            << QList<QByteArray>{search("696A3C623E"), search("3C2F62"), kClosing} << QString();
    }
    void valueRecords() {
        QFETCH(QByteArray, source);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, definition);
        QFETCH(QList<QByteArray>, records);
        QFETCH(QString, shown);
        const auto outcome = WebQueryExport::build(project({entry(start, end, definition)}), source);
        QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
        QCOMPARE(lines(outcome.bytes).mid(5), records);
        QCOMPARE(objectRowValues(outcome.bytes, source), shown.isNull() ? QStringList() : QStringList{shown});
    }

    // Entries without a KO name or without a definition are passed over.
    void undefinedEntriesArePassedOver() {
        AnalysisEntry noName = entry(14, 15, u"4|0|03|Temp"_qs);
        noName.koName.clear();
        AnalysisEntry noDefinition = entry(14, 15, QString());
        noDefinition.koName = u"Temp"_qs;
        const auto outcome = WebQueryExport::build(project({noName, noDefinition}), "abcdefghij<b>42</b>");
        QVERIFY(outcome.error.isEmpty());
        QCOMPARE(lines(outcome.bytes).size(), 5);
    }

    void exportRefusals_data() {
        QTest::addColumn<QList<AnalysisEntry>>("entries");
        QTest::addColumn<QString>("error");
        const QString def = u"4|0|03|Temp"_qs;
        AnalysisEntry notNumber = entry(1, 2, def);
        notNumber.start = u"x"_qs;
        QTest::newRow("position no number") << QList<AnalysisEntry>{notNumber} << u"keinen Wert der Seite"_qs;
        QTest::newRow("beyond the page") << QList<AnalysisEntry>{entry(18, 25, def)} << u"keinen Wert der Seite"_qs;
        QTest::newRow("reversed") << QList<AnalysisEntry>{entry(15, 14, def)} << u"keinen Wert der Seite"_qs;
        AnalysisEntry shortDefinition = entry(14, 15, u"4|0|03"_qs);
        shortDefinition.koName = u"Temp"_qs;
        QTest::newRow("definition too short") << QList<AnalysisEntry>{shortDefinition} << u"unvollständig"_qs;
        // The message says what is wrong, naming the entry by its keys' number in the project file.
        QTest::newRow("type not two digits")
            << QList<AnalysisEntry>{entry(14, 15, u"4|0|-1|Temp"_qs)}
            << u"Eintrag 0 (KO \"Temp\"): Der KO-Typ \"-1\" an Stelle 5 und 6 der Definition \"4|0|-1|Temp\" (ANH-0) "
               "ist keine zweistellige Zahl."_qs;
        QTest::newRow("separator missing")
            << QList<AnalysisEntry>{entry(14, 15, u"4|0:03|Temp"_qs)} << u"(ANH-0) hat an Stelle 4 kein \"|\""_qs;
        AnalysisEntry bar = entry(14, 15, def);
        bar.koName = u"Te|mp"_qs;
        QTest::newRow("KO name with a bar") << QList<AnalysisEntry>{bar} << u"kein \"|\""_qs;
        QTest::newRow("values side by side") << QList<AnalysisEntry>{entry(14, 14, def), entry(15, 15, def)}
                                             << u"Eintrag 1 (KO \"Temp\"): Zwischen dem vorigen Wert"_qs;
        QTest::newRow("value before the previous one")
            << QList<AnalysisEntry>{entry(14, 15, def), entry(2, 3, def)} << u"Eintrag 1 ("_qs;
        // KO names are the user's text: a "%1" in them stays as typed, and the message stays whole.
        AnalysisEntry percentNotNumber = entry(1, 2, u"4|0|03|A%1"_qs);
        percentNotNumber.start = u"x"_qs;
        QTest::newRow("KO name with %1, position no number")
            << QList<AnalysisEntry>{percentNotNumber}
            << u"Eintrag 0 (KO \"A%1\"): Start \"x\" (ANC-0) und Ende \"2\" (AND-0) bezeichnen keinen Wert der Seite "
               "(19 Zeichen)."_qs;
        QTest::newRow("KO name with %2 and %4, beyond the page")
            << QList<AnalysisEntry>{entry(18, 25, u"4|0|03|%2%4"_qs)}
            << u"Eintrag 0 (KO \"%2%4\"): Start \"18\" (ANC-0) und Ende \"25\" (AND-0) bezeichnen keinen Wert der "
               u"Seite "
               "(19 Zeichen)."_qs;
        QTest::newRow("KO name with %1, values side by side")
            << QList<AnalysisEntry>{entry(14, 14, u"4|0|03|A%1"_qs), entry(15, 15, u"4|0|03|B%1"_qs)}
            << u"Eintrag 1 (KO \"B%1\"): Zwischen dem vorigen Wert und diesem steht kein Zeichen; der Server "
               "könnte den Wert nicht finden."_qs;
        AnalysisEntry percentShort = entry(14, 15, u"4|0|03"_qs);
        percentShort.koName = u"%1%2"_qs;
        QTest::newRow("KO name with %1 and %2, definition too short")
            << QList<AnalysisEntry>{percentShort}
            << u"Eintrag 0 (KO \"%1%2\"): Die Definition \"4|0|03\" (ANH-0) ist unvollständig: Sie braucht die Form "
               "\"Operation|Umwandlung|Typ|KO-Name\" mit zweistelligem Typ."_qs;
    }
    void exportRefusals() {
        QFETCH(QList<AnalysisEntry>, entries);
        QFETCH(QString, error);
        const auto outcome = WebQueryExport::build(project(entries), "abcdefghij<b>42</b>");
        QVERIFY2(outcome.error.contains(error), qPrintable(outcome.error));
        QVERIFY(outcome.bytes.isEmpty());
    }

    // Two values written one after the other: the second one's search starts where the server's
    // stands after the first, not at a fixed distance (its TrailMarker "-</" also occurs earlier).
    void searchPositionFollowsTheServer() {
        const QByteArray source = "x-</<td>5-</td><td>6-</td>";
        const auto outcome =
            WebQueryExport::build(project({entry(9, 9, u"4|0|03|A"_qs), entry(20, 20, u"4|0|03|B"_qs)}), source);
        QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
        QCOMPARE(objectRowValues(outcome.bytes, source), (QStringList{u"5-</t"_qs, u"6-</t"_qs}));
    }

    void checkRows() {
        const QByteArray source = "abcdefghij<b>42</b>";
        const auto outcome = WebQueryExport::build(project({entry(14, 15, u"6|0|03|Temp|a|b|"_qs)}), source);
        WebQueryCheck::File file = WebQueryCheck::read(outcome.bytes, u"Test-qnd.htip"_qs);
        QVERIFY(file.error.isEmpty());
        QCOMPARE(file.bezeichnung, u"Test"_qs);
        QCOMPARE(file.host, u"h"_qs);
        QCOMPARE(file.site, u"/p.html"_qs);
        QCOMPARE(file.port, u"80"_qs);
        const auto selection = WebQueryCheck::searchPass(file.rows, PageSource::viewText(source));
        QStringList shown;
        for (const auto &row : file.rows)
            shown.append(QStringList{row.koName, row.value, row.operation, row.find}.join(u'/'));
        QCOMPARE(shown, (QStringList{u"//0/0"_qs, u"//2/ij<b>"_qs, u"Temp/42</b/6/a\r\nb\r\n"_qs, u"//2/</b"_qs,
                                     u"/>/0/0"_qs}));
        QCOMPARE(selection.start, 19);
        QCOMPARE(selection.length, 1);
    }

    void checkOfAChangedPage() {
        const QByteArray source = "abcdefghij<b>42</b>";
        const auto outcome = WebQueryExport::build(project({entry(14, 15, u"4|0|03|Temp"_qs)}), source);
        QCOMPARE(objectRowValues(outcome.bytes, "abcdefghij<i>42</i>"), QStringList{u"FEHLER"_qs});
        QCOMPARE(objectRowValues(outcome.bytes, "ABCDEFGHIJ<B>17</B>"), QStringList{u"17</B"_qs});
    }

    // Texts the page lacks are searched once, whatever the number of rows; later rows still find
    // what the page holds.
    void checkOfManyMissingRows() {
        QByteArray file = "a\nb\nc\nd\n";
        for (int i = 0; i < 20000; ++i)
            file += "|||||2|" + WebQueryExport::EncodeHex(i % 2 ? "fehlt" : "nirgends") + "|0\n|||||0|0|0\n";
        file += "|||||2|" + WebQueryExport::EncodeHex("<b>") + "|0\n|||||4|0|0\n";
        WebQueryCheck::File read = WebQueryCheck::read(file, u"viele-qnd.htip"_qs);
        QVERIFY(read.error.isEmpty());
        const QString page = QString(2'000'000, u' ') + u"<b>42</b>"_qs;
        WebQueryCheck::searchPass(read.rows, page);
        QCOMPARE(read.rows.at(1).value, u"FEHLER"_qs);
        QCOMPARE(read.rows.last().value, u"42</b"_qs);
    }

    void checkOfBrokenFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("rows");
        const QString path = u"/x/a-qnd.htip"_qs;
        QTest::newRow("empty") << path << QByteArray() << u"weniger als vier Zeilen"_qs << 0;
        QTest::newRow("three lines") << path << QByteArray("a\r\nb\r\nc\r\n") << u"weniger als vier Zeilen"_qs << 0;
        QTest::newRow("four lines, no rows")
            << path << QByteArray("a\r\nb\r\nc\r\n0|1|2|3|B|H|P|7|8|S\r\n") << QString() << 0;
        QTest::newRow("not hexadecimal, rows so far stay")
            << path << QByteArray("a\nb\nc\nd\n|||||0|0|0\n|||||2|XY|0\n|||||0|0|0\n") << u"Zeile 6"_qs << 1;
        QTest::newRow("garbage lines") << path << QByteArray("a\nb\nc\nd\ngarbage\n\n|||") << QString() << 3;
        // The file's name and its search text are outside text: a "%1" in them stays as it is.
        QTest::newRow("not hexadecimal, %1 in the name and the text")
            << u"/x/%1%2-qnd.htip"_qs << QByteArray("a\nb\nc\nd\n|||||2|%1X|0\n")
            << u"Die Datei \"/x/%1%2-qnd.htip\" enthält in Zeile 5 einen Suchtext, der keine Hexadezimalzahl ist: "
               "\"%1X\"."_qs
            << 0;
    }
    void checkOfBrokenFiles() {
        QFETCH(QString, path);
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QFETCH(int, rows);
        WebQueryCheck::File read = WebQueryCheck::read(file, path);
        QCOMPARE(read.rows.size(), rows);
        if (error.isEmpty()) {
            QVERIFY(read.error.isEmpty());
        } else {
            QVERIFY2(read.error.contains(error), qPrintable(read.error));
            QVERIFY(read.error.contains(path));
        }
        WebQueryCheck::searchPass(read.rows, u"abc"_qs);
    }

    // For every exported file the check on the unchanged page shows, in each object row, the five
    // characters that begin at that value's start; or the export refused.
    void exportAndCheckAgree() {
        int exported = 0, refused = 0, withRepeats = 0;
        for (quint32 seed = 1; seed <= 40; ++seed) {
            QRandomGenerator random(seed);
            for (int round = 0; round < 50; ++round) {
                const QByteArray source = generatedPage(random);
                const QString view = PageSource::viewText(source);
                QList<AnalysisEntry> entries;
                QStringList expected;
                qsizetype next = 1 + random.bounded(3);
                while (next <= source.size() && entries.size() < 8) {
                    const qsizetype start = next;
                    const qsizetype end = std::min<qsizetype>(source.size(), start + random.bounded(6));
                    const bool list = random.bounded(3) == 0;
                    entries.append(
                        entry(start, end,
                              list ? u"6|1|04|L%1|x|y|"_qs.arg(entries.size()) : u"4|0|03|V%1"_qs.arg(entries.size())));
                    expected.append(view.mid(start - 1, 5));
                    next = end + 1 + random.bounded(8); // sometimes right after the previous value
                }
                const auto outcome = WebQueryExport::build(project(entries), source);
                if (!outcome.error.isEmpty()) {
                    QVERIFY2(outcome.error.contains(u"Zwischen dem vorigen Wert"_qs), qPrintable(outcome.error));
                    QVERIFY(outcome.bytes.isEmpty());
                    ++refused;
                    continue;
                }
                ++exported;
                // A repeated LeadMarker: the same search of ten characters on both sides of a closing record.
                const QList<QByteArray> records = lines(outcome.bytes).mid(5);
                for (qsizetype i = 1; i + 1 < records.size(); ++i) {
                    if (records.at(i) == kClosing && records.at(i - 1) == records.at(i + 1) &&
                        records.at(i + 1).startsWith(kSearch) &&
                        records.at(i + 1).indexOf('|', kSearch.size()) == kSearch.size() + 20) {
                        ++withRepeats;
                        break;
                    }
                }
                QCOMPARE(objectRowValues(outcome.bytes, source), expected);
            }
        }
        // The generated pages reach every path: plain exports, repeats and refusals.
        QVERIFY(exported >= 100);
        QVERIFY(withRepeats >= 10);
        QVERIFY(refused >= 10);
    }

    void pageOfBlanksEnds() {
        QByteArray source(10000, ' ');
        source[2000] = '1';
        source[5000] = '2';
        source[9999] = '3';
        const QList<AnalysisEntry> entries{entry(1500, 1500, u"4|0|03|A"_qs), entry(2001, 2001, u"4|0|03|B"_qs),
                                           entry(5001, 5001, u"4|0|03|C"_qs), entry(10000, 10000, u"4|0|03|D"_qs)};
        const auto outcome = WebQueryExport::build(project(entries), source);
        QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
        QCOMPARE(objectRowValues(outcome.bytes, source), (QStringList{u"     "_qs, u"1    "_qs, u"2    "_qs, u"3"_qs}));
    }
};

QTEST_GUILESS_MAIN(TestWebCheckExport)
#include "tst_webcheck_export.moc"

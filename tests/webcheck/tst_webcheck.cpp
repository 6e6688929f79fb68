#include "DocumentFetch.h"
#include "LoopbackHttp.h"
#include "PageAnalysis.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "TempProgramFolder.h"
#include "ValueDefinition.h"
#include "ValueTemplates.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {
// A row as "value|kind|start|end", so a table states the expected rows in one line each.
QStringList describe(const QList<AnalysisEntry> &rows) {
    QStringList lines;
    for (const AnalysisEntry &row : rows)
        lines.append(QStringLiteral("%1|%2|%3|%4").arg(row.value).arg(row.kind).arg(row.start, row.end));
    return lines;
}

AnalysisEntry definedEntry(int j) {
    const QString n = QString::number(j);
    return AnalysisEntry{u"Wert "_qs + n, AnalysisEntry::Link,
                         n + u"1"_qs,     n + u"9"_qs,
                         u"1"_qs,         ListText::toStored(u"Gif1=1\nGif2=2"_qs),
                         u"-1"_qs,        u"6|1|03|Temp "_qs + n + u'|' + ListText::toStored(u"Gif1=1\nGif2=2"_qs),
                         u"3"_qs,         u"Temp "_qs + n};
}
} // namespace

class TestWebCheck : public QObject {
    Q_OBJECT

private slots:
    void analysis_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<bool>("text");
        QTest::addColumn<bool>("images");
        QTest::addColumn<bool>("links");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("empty") << QByteArray() << true << true << true << QStringList();
        QTest::newRow("paragraph") << QByteArray("<p>Hello</p>") << true << false << false
                                   << QStringList{u"Hello|8|4|8"_qs};
        QTest::newRow("HREF in capitals") << QByteArray("<a HREF=\"x.html\">Link</a>") << true << false << true
                                          << QStringList{u"x.html|10|10|15"_qs, u"Link|8|18|21"_qs};
        QTest::newRow("links off") << QByteArray("<a HREF=\"x.html\">Link</a>") << true << true << false
                                   << QStringList{u"Link|8|18|21"_qs};
        QTest::newRow("last character never examined")
            << QByteArray("<b>ab") << true << false << false << QStringList{u"a|8|4|4"_qs};
        QTest::newRow("script skipped") << QByteArray("<script>var a='<b>';</script>Text<br>") << true << true << true
                                        << QStringList{u"Text|8|30|33"_qs};
        QTest::newRow("script in capitals")
            << QByteArray("<SCRIPT>x</SCRIPT>Ok<p>") << true << false << false << QStringList{u"Ok|8|19|20"_qs};
        QTest::newRow("script without end tag")
            << QByteArray("<script>var x=\"<b>Hi</b><a href=\"y\">") << true << true << true << QStringList();
        QTest::newRow("text starting with a blank")
            << QByteArray("<td> 23</td>") << true << false << false << QStringList();
        QTest::newRow("text scanning off")
            << QByteArray("<p>Hello</p><td>23</td>") << false << true << true << QStringList();
        QTest::newRow("digits and code page bytes") << QByteArray("<td>23 \xb0"
                                                                  "C</td>")
                                                    << true << false << false << QStringList{u"23 °C|8|5|9"_qs};
        QTest::newRow("image source") << QByteArray("<img src=\"a.png\"><br>") << true << true << false
                                      << QStringList{u"a.png|11|11|15"_qs};
        QTest::newRow("link and image in one tag") << QByteArray("<a href=\"l\"src=\"i\">") << false << true << true
                                                   << QStringList{u"l|10|10|10"_qs, u"i|11|17|17"_qs};
        QTest::newRow("single quotes and blanks are not attributes")
            << QByteArray("<a href='x' src = \"y\">z") << false << true << true << QStringList();
        QTest::newRow("empty attribute value")
            << QByteArray("<a href=\"\">x</a>") << false << false << true << QStringList{u"|10|10|9"_qs};
        QTest::newRow("unclosed attribute runs to the end")
            << QByteArray("<a href=\"abc") << true << false << true << QStringList{u"abc|10|10|12"_qs};
        QTest::newRow("nested angle brackets do not end the tag")
            << QByteArray("<a <b> href=\"x\">T</a>") << true << false << true
            << QStringList{u"x|10|14|14"_qs, u"T|8|17|17"_qs};
        QTest::newRow("text after a comment is listed")
            << QByteArray("<!-- c -->Wert<br>") << true << false << false << QStringList{u"Wert|8|11|14"_qs};
        QTest::newRow("text run keeps inner blanks and line breaks")
            << QByteArray("<p>Temp 21\r\nGrad </p>") << true << false << false
            << QStringList{u"Temp 21\r\nGrad |8|4|17"_qs};
        QTest::newRow("deeply nested brackets") << QByteArray(5000, '<') + QByteArray(5000, '>') + "Ende<" << true
                                                << false << false << QStringList{u"Ende|8|10001|10004"_qs};
    }
    void analysis() {
        QFETCH(QByteArray, source);
        QFETCH(bool, text);
        QFETCH(bool, images);
        QFETCH(bool, links);
        QFETCH(QStringList, rows);
        const ScanOptions options{text, images, links};
        QCOMPARE(describe(analysePage(source, options)), rows);
        // The same rows when the scan returns after every single step.
        PageAnalysis stepwise(source);
        QList<AnalysisEntry> found;
        while (!stepwise.run(1, options))
            found += stepwise.takeRows();
        found += stepwise.takeRows();
        QCOMPARE(describe(found), rows);
    }

    void analysisCancelKeepsRowsFound() {
        QByteArray source;
        for (int i = 0; i < 1000; ++i)
            source += "<td>W" + QByteArray::number(i) + "</td>";
        PageAnalysis analysis(source);
        QList<AnalysisEntry> rows;
        while (rows.isEmpty() || rows.last().value != u"W10"_qs) {
            QVERIFY(!analysis.run(1, ScanOptions{}));
            rows += analysis.takeRows();
        }
        QCOMPARE(rows.size(), 11);
        analysis.cancel();
        QVERIFY(analysis.finished());
        QVERIFY(!analysis.stoppedAtBudget());
        QCOMPARE(analysis.position(), analysis.length());
        QVERIFY(analysis.run(1000, ScanOptions{}));
        QVERIFY(analysis.takeRows().isEmpty());
    }

    void analysisOptionsTakeEffectAtOnce() {
        const QByteArray source("<p>Eins</p><a href=\"x\">Zwei</a><p>Drei</p>");
        PageAnalysis analysis(source);
        analysis.run(source.indexOf("<a"), ScanOptions{true, false, false});
        while (!analysis.run(1, ScanOptions{false, false, true})) {
        }
        QCOMPARE(describe(analysis.takeRows()), (QStringList{u"Eins|8|4|7"_qs, u"x|10|21|21"_qs}));
    }

    void analysisRowsAreBounded() {
        QByteArray source;
        for (int i = 0; i < ProjectFile::kMaxEntries + 10; ++i)
            source += "<b>a";
        source += '<';
        PageAnalysis analysis(source);
        QVERIFY(analysis.run(source.size() * 4, ScanOptions{}));
        QCOMPARE(analysis.takeRows().size(), ProjectFile::kMaxEntries);
        QVERIFY(analysis.stoppedAtBudget());
    }

    void lineBreaks_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QByteArray>("source");
        QTest::newRow("none") << QByteArray("<p>x</p>") << QByteArray("<p>x</p>");
        QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("LF TAB") << QByteArray("a\n\tb") << QByteArray("a\r\r\nb");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray("a\r\r\nb");
        QTest::newRow("LF TAB TAB") << QByteArray("\n\t\t") << QByteArray("\r\r\n\t");
        QTest::newRow("LF LF TAB") << QByteArray("\n\n\t") << QByteArray("\r\n\r\r\n");
        QTest::newRow("TAB alone") << QByteArray("\tx\t") << QByteArray("\tx\t");
    }
    void lineBreaks() {
        QFETCH(QByteArray, document);
        QFETCH(QByteArray, source);
        QCOMPARE(PageSource::fromDocument(document), source);
        // The one pass equals the two replacements one after the other.
        QCOMPARE(PageSource::fromDocument(document),
                 QByteArray(document).replace("\n\t", "\r\n").replace("\n", "\r\n"));
    }

    void findInSource_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<qsizetype>("found");
        QTest::newRow("first") << u"abc"_qs << qsizetype(1) << qsizetype(12) << qsizetype(1);
        QTest::newRow("any case") << u"abc"_qs << qsizetype(2) << qsizetype(11) << qsizetype(4);
        QTest::newRow("must lie wholly inside") << u"abc"_qs << qsizetype(2) << qsizetype(4) << qsizetype(0);
        QTest::newRow("just inside") << u"abc"_qs << qsizetype(2) << qsizetype(5) << qsizetype(4);
        QTest::newRow("umlaut in any case") << u"Ä"_qs << qsizetype(1) << qsizetype(12) << qsizetype(10);
        QTest::newRow("region past the end") << u"ä"_qs << qsizetype(8) << qsizetype(100) << qsizetype(10);
        QTest::newRow("empty text") << QString() << qsizetype(1) << qsizetype(12) << qsizetype(0);
        QTest::newRow("reversed region") << u"a"_qs << qsizetype(5) << qsizetype(-3) << qsizetype(0);
        QTest::newRow("start past the end") << u"a"_qs << qsizetype(13) << qsizetype(5) << qsizetype(0);
        QTest::newRow("missing") << u"abd"_qs << qsizetype(1) << qsizetype(12) << qsizetype(0);
    }
    void findInSource() {
        QFETCH(QString, text);
        QFETCH(qsizetype, from);
        QFETCH(qsizetype, count);
        QFETCH(qsizetype, found);
        QCOMPARE(FindInSource(u"abcABCabcäxy", text, from, count), found);
    }

    void documentFetch_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<qsizetype>("maxBytes");
        QTest::addColumn<QString>("error"); // a part of the error text; empty when the fetch succeeds
        QTest::newRow("served") << QByteArray("/p.html") << qsizetype(1000) << QString();
        QTest::newRow("exactly the budget") << QByteArray("/p.html") << qsizetype(600) << QString();
        QTest::newRow("larger than the budget") << QByteArray("/p.html") << qsizetype(599) << u"größer als 599"_qs;
        QTest::newRow("missing") << QByteArray("/fehlt.html") << qsizetype(1000) << u"kann nicht geladen"_qs;
        // "%2F" stays escaped in the address; the message shows it as it is, not as a placeholder.
        QTest::newRow("larger than the budget, escaped slash in the address")
            << QByteArray("/a%2Fb.html") << qsizetype(599) << u"größer als 599 Bytes"_qs;
    }
    void documentFetch() {
        QFETCH(QByteArray, path);
        QFETCH(qsizetype, maxBytes);
        QFETCH(QString, error);
        LoopbackHttp http;
        const QByteArray page = QByteArray("<p>\xe4\n\t</p>\r\n").repeated(50);
        QCOMPARE(page.size(), 600);
        http.put("/p.html", page);
        http.put("/a%2Fb.html", page);
        QNetworkAccessManager network;
        DocumentFetch fetch(network, nullptr, DocumentFetch::kTimeoutMs, maxBytes);
        QSignalSpy finished(&fetch, &DocumentFetch::finished);
        fetch.fetch(QUrl(http.url(path)));
        QVERIFY(finished.wait());
        QCOMPARE(finished.size(), 1);
        const QString reported = finished.first().at(1).toString();
        QCOMPARE(finished.first().at(0).toByteArray(), error.isEmpty() ? page : QByteArray());
        QVERIFY2(error.isEmpty() ? reported.isEmpty() : reported.contains(error) && reported.contains(http.url(path)),
                 qPrintable(reported));
    }

    void documentFetchOfAServerThatNeverAnswersEnds() {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QNetworkAccessManager network;
        DocumentFetch fetch(network, nullptr, 300);
        QSignalSpy finished(&fetch, &DocumentFetch::finished);
        fetch.fetch(QUrl(u"http://127.0.0.1:%1/"_qs.arg(silent.serverPort())));
        QVERIFY(finished.wait(10000));
        QVERIFY(finished.first().at(0).toByteArray().isEmpty());
        QVERIFY(finished.first().at(1).toString().contains(u"kann nicht geladen"_qs));
    }

    void listText_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("stored");
        QTest::newRow("two lines") << u"Gif1=1\nGif2=2"_qs << u"Gif1=1|Gif2=2|"_qs;
        QTest::newRow("one line") << u"a"_qs << u"a|"_qs;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("empty line kept") << u"a\n\nb"_qs << u"a||b|"_qs;
    }
    void listText() {
        QFETCH(QString, lines);
        QFETCH(QString, stored);
        QCOMPARE(ListText::toStored(lines), stored);
        QCOMPARE(ListText::toLines(stored), lines);
        QCOMPARE(ListText::toStored(QString(lines).replace(u'\n', u"\r\n"_qs)), stored);
    }
    void listTextOfOlderFilesIsOneLine() { QCOMPARE(ListText::toLines(u"a|b"_qs), u"a|b"_qs); }

    void projectRoundTrip_data() {
        QTest::addColumn<int>("rows");
        QTest::newRow("no rows") << 0;
        QTest::newRow("one row") << 1;
        QTest::newRow("twelve rows") << 12;
    }
    void projectRoundTrip() {
        QFETCH(int, rows);
        TempProgramFolder folder;
        WebQueryProject project{u"Wetter"_qs, u"wetter.example"_qs, u"8080"_qs, u"/heute.html"_qs, {}};
        for (int j = 0; j < rows; ++j)
            project.entries.append(definedEntry(j));
        AnalysisEntry undefined;
        undefined.value = u"undefined"_qs;
        undefined.start = u"5"_qs;
        undefined.end = u"13"_qs;
        project.entries.append(undefined);
        QString error;
        QVERIFY2(ProjectFile::save(folder.path(), project, &error), qPrintable(error));
        const QString name = u"Wetter-wetter.example_8080-qnd.ovw"_qs;
        const QByteArray bytes = folder.read(name);
        QVERIFY(bytes.contains("[OVWCHead]"));
        QVERIFY(bytes.contains("ANZAHL=" + QByteArray::number(rows + 1)));
        QVERIFY(bytes.contains("ANF-0=" + QByteArray(rows ? "Gif1=1|Gif2=2|" : "")));
        const auto loaded = ProjectFile::load(folder.file(name), &error);
        QVERIFY(loaded);
        QCOMPARE(*loaded, project);
    }

    void projectSaveReplacesBothSectionsAndKeepsOthers() {
        TempProgramFolder folder;
        const QString name = u"P-h-qnd.ovw"_qs;
        QVERIFY(folder.write(name, "[Eigenes]\r\nX=1\r\n[OVWC]\r\nANA-7=alt\r\n[OVWCHead]\r\nANZAHL=8\r\n"));
        QString error;
        QVERIFY(ProjectFile::save(folder.path(), WebQueryProject{u"P"_qs, u"h"_qs, u"80"_qs, u"/"_qs, {}}, &error));
        const QByteArray bytes = folder.read(name);
        QVERIFY(bytes.contains("[Eigenes]"));
        QVERIFY(!bytes.contains("ANA-7"));
        QVERIFY(bytes.contains("ANZAHL=0"));
        QCOMPARE(ProjectFile::load(folder.file(name), &error)->entries.size(), 0);
    }

    void projectMissingKeys_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("firstValue");
        QTest::addColumn<QString>("firstStart");
        QTest::newRow("no ANZAHL: one default row")
            << QByteArray("[OVWCHead]\r\nWABEZ=x\r\n") << 1 << QString() << u"0"_qs;
        QTest::newRow("present but empty reads empty")
            << QByteArray("[OVWCHead]\r\nANZAHL=1\r\n[OVWC]\r\nANA-0=v\r\nANC-0=\r\n") << 1 << u"v"_qs << QString();
        QTest::newRow("huge ANZAHL is bounded")
            << QByteArray("[OVWCHead]\r\nANZAHL=2147483647\r\n") << ProjectFile::kMaxEntries << QString() << u"0"_qs;
        QTest::newRow("negative ANZAHL") << QByteArray("[OVWCHead]\r\nANZAHL=-5\r\n") << 0 << QString() << QString();
        QTest::newRow("empty file") << QByteArray() << 1 << QString() << u"0"_qs;
    }
    void projectMissingKeys() {
        QFETCH(QByteArray, file);
        QFETCH(int, rows);
        QFETCH(QString, firstValue);
        QFETCH(QString, firstStart);
        TempProgramFolder folder;
        QVERIFY(folder.write(u"a-b-qnd.ovw"_qs, file));
        QString error;
        const auto project = ProjectFile::load(folder.file(u"a-b-qnd.ovw"_qs), &error);
        QVERIFY(project);
        QCOMPARE(project->entries.size(), rows);
        QVERIFY(project->port.isEmpty());
        if (rows == 0)
            return;
        const AnalysisEntry &first = project->entries.first();
        QCOMPARE(first.value, firstValue);
        QCOMPARE(first.start, firstStart);
        QCOMPARE(first.kind, -1);
        QCOMPARE(first.koName, u"0"_qs);
    }

    void projectNamesThatLeaveTheFolderAreRefused_data() {
        QTest::addColumn<QString>("bezeichnung");
        QTest::addColumn<QString>("host");
        QTest::newRow("slash in host") << u"P"_qs << u"http://h"_qs;
        QTest::newRow("parent folder") << u"../../x"_qs << u"h"_qs;
        QTest::newRow("backslash") << u"..\\x"_qs << u"h"_qs;
        QTest::newRow("colon in the Bezeichnung") << u"P:1"_qs << u"h"_qs;
        QTest::newRow("star and question mark") << u"a*b?"_qs << u"h"_qs;
        QTest::newRow("quote and angle brackets") << u"\"<a>\""_qs << u"h"_qs;
        QTest::newRow("vertical bar") << u"a|b"_qs << u"h"_qs;
        QTest::newRow("control character") << u"a\tb"_qs << u"h"_qs;
        // 250 bytes: saved once, the next save's temporary name would pass the 255-byte limit.
        QTest::newRow("too long for a second save") << QString(240, u'a') << u"h"_qs;
    }
    void projectNamesThatLeaveTheFolderAreRefused() {
        QFETCH(QString, bezeichnung);
        QFETCH(QString, host);
        TempProgramFolder folder;
        QString error;
        QVERIFY(!ProjectFile::save(folder.path(), WebQueryProject{bezeichnung, host, u"80"_qs, u"/"_qs, {}}, &error));
        QVERIFY2(error.contains(ProjectFile::fileName(bezeichnung, host, u"80"_qs)), qPrintable(error));
        QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    }
    // The page's address names the port the server fetches from; a host text with its port is taken apart.
    void pagePlace_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("splitHost");
        QTest::addColumn<QString>("splitPort");
        QTest::addColumn<QString>("address");
        QTest::newRow("port 80") << u"h"_qs << u"80"_qs << u"h"_qs << u"80"_qs << u"h/a.html"_qs;
        QTest::newRow("no port") << u"h"_qs << QString() << u"h"_qs << QString() << u"h/a.html"_qs;
        QTest::newRow("other port") << u"h"_qs << u"8080"_qs << u"h"_qs << u"8080"_qs << u"h:8080/a.html"_qs;
        QTest::newRow("port in the host")
            << u"127.0.0.1:8080"_qs << u"80"_qs << u"127.0.0.1"_qs << u"8080"_qs << u"127.0.0.1:8080/a.html"_qs;
        QTest::newRow("port 80 in the host") << u"h:80"_qs << u"8080"_qs << u"h"_qs << u"80"_qs << u"h/a.html"_qs;
        QTest::newRow("IPv6 with port") << u"[::1]:8080"_qs << QString() << u"[::1]"_qs << u"8080"_qs
                                        << u"[::1]:8080/a.html"_qs;
        QTest::newRow("IPv6 alone") << u"::1"_qs << u"80"_qs << u"::1"_qs << u"80"_qs << u"::1/a.html"_qs;
        QTest::newRow("no digits after the colon")
            << u"h:x"_qs << u"80"_qs << u"h:x"_qs << u"80"_qs << u"h:x/a.html"_qs;
    }
    void pagePlace() {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, splitHost);
        QFETCH(QString, splitPort);
        QFETCH(QString, address);
        QCOMPARE(PagePlace::split(host, port), (PagePlace::HostAndPort{splitHost, splitPort}));
        QCOMPARE(PagePlace::address(host, port, u"/a.html"_qs), address);
    }

    // Any host and port give a name the file system takes; the port is part of it unless the
    // address names none.
    void projectFileNames_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("name");
        QTest::newRow("port 80") << u"h"_qs << u"80"_qs << u"P-h-qnd.ovw"_qs;
        QTest::newRow("no port") << u"h"_qs << QString() << u"P-h-qnd.ovw"_qs;
        QTest::newRow("other port") << u"h"_qs << u"8080"_qs << u"P-h_8080-qnd.ovw"_qs;
        QTest::newRow("port in the host") << u"127.0.0.1:8080"_qs << u"80"_qs << u"P-127.0.0.1_8080-qnd.ovw"_qs;
        QTest::newRow("IPv6 with port") << u"[::1]:8080"_qs << u"80"_qs << u"P-[__1]_8080-qnd.ovw"_qs;
        QTest::newRow("IPv6 alone") << u"::1"_qs << u"80"_qs << u"P-__1-qnd.ovw"_qs;
    }
    void projectFileNames() {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, name);
        QCOMPARE(ProjectFile::fileName(u"P"_qs, host, port), name);
        TempProgramFolder folder;
        QString error;
        QVERIFY2(ProjectFile::save(folder.path(), WebQueryProject{u"P"_qs, host, port, u"/"_qs, {}}, &error),
                 qPrintable(error));
        const auto loaded = ProjectFile::load(folder.file(name), &error);
        QVERIFY(loaded);
        QCOMPARE((PagePlace::HostAndPort{loaded->host, loaded->port}), PagePlace::split(host, port));
    }

    // Projects that differ only in their port keep files of their own, also beside a file saved
    // before ports were named ("P-h-qnd.ovw" for any port), which keeps its project.
    void projectsDifferingInPort_data() {
        QTest::addColumn<QByteArray>("olderPort"); // the port of the older file; empty: none there
        QTest::addColumn<QStringList>("ports");    // saved one after the other
        QTest::addColumn<QStringList>("files");    // "name=port" afterwards
        QTest::newRow("new files") << QByteArray() << QStringList{u"80"_qs, u"8080"_qs}
                                   << QStringList{u"P-h-qnd.ovw=80"_qs, u"P-h_8080-qnd.ovw=8080"_qs};
        QTest::newRow("older file saved again")
            << QByteArray("8080") << QStringList{u"8080"_qs} << QStringList{u"P-h-qnd.ovw=8080"_qs};
        QTest::newRow("port 80 beside an older file of another port")
            << QByteArray("8080") << QStringList{u"80"_qs, u"9090"_qs}
            << QStringList{u"P-h-qnd.ovw=8080"_qs, u"P-h_80-qnd.ovw=80"_qs, u"P-h_9090-qnd.ovw=9090"_qs};
    }
    void projectsDifferingInPort() {
        QFETCH(QByteArray, olderPort);
        QFETCH(QStringList, ports);
        QFETCH(QStringList, files);
        TempProgramFolder folder;
        if (!olderPort.isEmpty())
            QVERIFY(folder.write(u"P-h-qnd.ovw"_qs,
                                 "[OVWCHead]\r\nWABEZ=P\r\nWAHOST=h\r\nWAPORT=" + olderPort + "\r\nANZAHL=0\r\n"));
        QString error;
        for (const QString &port : ports)
            QVERIFY2(ProjectFile::save(folder.path(), WebQueryProject{u"P"_qs, u"h"_qs, port, u"/"_qs, {}}, &error),
                     qPrintable(error));
        QStringList found;
        for (const QString &name : QDir(folder.path()).entryList(QDir::Files, QDir::Name))
            found.append(name + u'=' + ProjectFile::load(folder.file(name), &error)->port);
        QCOMPARE(found, files);
    }

    void templateRoundTrip_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("two lines") << QStringList{u"Gif1=1"_qs, u"Gif2=2"_qs} << u"Gif1=1-qnd.wcv"_qs
                                   << QByteArray("[OVWV]\r\nLINE0=Gif1=1\r\nLINE1=Gif2=2\r\n");
        QTest::newRow("one line") << QStringList{u"Aus"_qs} << u"Aus-qnd.wcv"_qs << QByteArray("LINE0=Aus\r\n");
        QTest::newRow("empty list writes no key") << QStringList() << u"-qnd.wcv"_qs << QByteArray();
    }
    void templateRoundTrip() {
        QFETCH(QStringList, lines);
        QFETCH(QString, file);
        QFETCH(QByteArray, stored);
        TempProgramFolder folder;
        QString error;
        QVERIFY2(ValueTemplates::save(folder.path(), lines, &error), qPrintable(error));
        const QByteArray bytes = folder.read(file);
        QVERIFY(bytes.contains(stored));
        QCOMPARE(bytes.contains("LINE"), !lines.isEmpty());
        QCOMPARE(ValueTemplates::load(folder.file(file), &error), std::optional<QStringList>(lines));
        QCOMPARE(ValueTemplates::list(folder.path()), QStringList{file});
    }

    void templateShorterListReplacesLongerOne() {
        TempProgramFolder folder;
        QString error;
        const QStringList five{u"A"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs};
        QVERIFY(ValueTemplates::save(folder.path(), five, &error));
        QVERIFY(ValueTemplates::save(folder.path(), {u"A"_qs, u"z"_qs}, &error));
        QCOMPARE(ValueTemplates::load(folder.file(u"A-qnd.wcv"_qs), &error), (QStringList{u"A"_qs, u"z"_qs}));
        QVERIFY(!folder.read(u"A-qnd.wcv"_qs).contains("LINE2"));
    }

    void templateLoadsAtMostAThousandLines() {
        TempProgramFolder folder;
        QByteArray file = "[OVWV]\r\n";
        for (int i = 0; i < 1200; ++i)
            file += "LINE" + QByteArray::number(i) + "=L" + QByteArray::number(i) + "\r\n";
        QVERIFY(folder.write(u"L0-qnd.wcv"_qs, file));
        QString error;
        const auto lines = ValueTemplates::load(folder.file(u"L0-qnd.wcv"_qs), &error);
        QCOMPARE(lines->size(), ValueTemplates::kMaxLines);
        QCOMPARE(lines->last(), u"L999"_qs);
    }

    void templateLoadStopsAtTheFirstMissingKey() {
        TempProgramFolder folder;
        QVERIFY(folder.write(u"x-qnd.wcv"_qs, "[OVWV]\r\nLINE0=a\r\nLINE2=c\r\n"));
        QVERIFY(folder.write(u"y-qnd.wcv"_qs, "[OVWV]\r\nLINE1=b\r\n"));
        QString error;
        QCOMPARE(ValueTemplates::load(folder.file(u"x-qnd.wcv"_qs), &error), QStringList{u"a"_qs});
        QCOMPARE(ValueTemplates::load(folder.file(u"y-qnd.wcv"_qs), &error), QStringList());
    }

    void templateNamesThatLeaveTheFolderAreRefused_data() {
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("slash") << u"../x"_qs;
        QTest::newRow("vertical bar") << u"a|b"_qs;
        QTest::newRow("colon") << u"C:x"_qs;
        QTest::newRow("backslash") << u"..\\x"_qs;
        QTest::newRow("too long for a second save") << QString(241, u'a');
    }
    void templateNamesThatLeaveTheFolderAreRefused() {
        QFETCH(QString, firstLine);
        TempProgramFolder folder;
        QString error;
        QVERIFY(!ValueTemplates::save(folder.path(), {firstLine, u"b"_qs}, &error));
        QVERIFY2(error.contains(firstLine + u"-qnd.wcv"_qs), qPrintable(error));
        QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    }

    void koSpecEditedInPlace() {
        QString spec = ValueDefinition::koSpec(0, false, 3, u"Temperatur"_qs);
        QCOMPARE(spec, u"4|0|03|Temperatur"_qs);
        spec = ValueDefinition::withValueType(spec, 1);
        QCOMPARE(spec, u"6|0|03|Temperatur"_qs);
        spec = ValueDefinition::withConversion(spec, true);
        QCOMPARE(spec, u"6|1|03|Temperatur"_qs);
        QCOMPARE(ValueDefinition::koSpec(1, true, 17, u"x"_qs), u"6|1|17|x"_qs);
        QCOMPARE(ValueDefinition::withValueType(ValueDefinition::kNoKoSpec, 1), ValueDefinition::kNoKoSpec);
        QCOMPARE(ValueDefinition::koTypes().size(), 18);
        QCOMPARE(ValueDefinition::koTypes().at(3), u"EIS5_16BIT"_qs);
    }

    void trims_data() {
        QTest::addColumn<QString>("steps"); // < > at the start, [ ] at the end: more, less
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        // The source "ab<td>42 Grad</td>" with the value "42" at 7..8.
        QTest::newRow("more at both ends") << u"<]"_qs << u">42 "_qs << u"6"_qs << u"9"_qs;
        QTest::newRow("less stops at one character") << u">["_qs << u"2"_qs << u"8"_qs << u"8"_qs;
        QTest::newRow("start never before the page") << u"<<<<<<<<"_qs << u"ab<td>42"_qs << u"1"_qs << u"8"_qs;
        QTest::newRow("end never after the page") << u"]]]]]]]]]]]]]]"_qs << u"42 Grad</td>"_qs << u"7"_qs << u"18"_qs;
        QTest::newRow("never empty") << u"[[[>>>"_qs << u"4"_qs << u"7"_qs << u"7"_qs;
    }
    void trims() {
        QFETCH(QString, steps);
        QFETCH(QString, value);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const QString source = u"ab<td>42 Grad</td>"_qs;
        AnalysisEntry entry;
        entry.value = u"42"_qs;
        entry.start = u"7"_qs;
        entry.end = u"8"_qs;
        for (const QChar step : steps) {
            if (step == u'<')
                ValueDefinition::readMoreAtStart(entry, source);
            else if (step == u'>')
                ValueDefinition::readLessAtStart(entry);
            else if (step == u']')
                ValueDefinition::readMoreAtEnd(entry, source);
            else
                ValueDefinition::readLessAtEnd(entry);
        }
        QCOMPARE(entry.value, value);
        QCOMPARE(entry.start, start);
        QCOMPARE(entry.end, end);
    }

    void applyWritesFieldsFiveToTen() {
        AnalysisEntry entry;
        ValueDefinition::apply(entry, 1, u"a\nb"_qs, true, u"6|1|03|Temp"_qs, 3, u"Temp"_qs);
        QCOMPARE(entry.valueType, u"1"_qs);
        QCOMPARE(entry.list, u"a|b|"_qs);
        QCOMPARE(entry.conversion, u"-1"_qs);
        QCOMPARE(entry.definition, u"6|1|03|Temp|a|b|"_qs);
        QCOMPARE(entry.koType, u"3"_qs);
        QCOMPARE(entry.koName, u"Temp"_qs);
    }
};

QTEST_GUILESS_MAIN(TestWebCheck)
#include "tst_webcheck.moc"

#include "FakeDialogs.h"
#include "FakePlatform.h"
#include "LoadReplaceAddress.h"
#include "LoadReplaceDownloads.h"
#include "LoadReplaceEditor.h"
#include "LoadReplaceFile.h"
#include "LoopbackHttpServer.h"
#include "NumberedSections.h"
#include "ScreenSaverValue.h"
#include "TempProgramFolder.h"
#include "ValueDispatch.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>

namespace {
LoadReplaceEntry rule(const QString &name, const QString &host, const QString &saveto, const QString &gan) {
    return {name, host, saveto, gan, QStringLiteral("1/2/3")};
}

QStringList names(const LoadReplaceList &rules) {
    QStringList result;
    for (const LoadReplaceEntry &e : rules)
        result.append(e.bezeichnung);
    return result;
}

// Another server on the same machine, answering everything: no download may ever reach it.
QByteArray strangerAnswer(const QByteArray &) {
    return LoopbackHttpServer::response("200 OK", "fremdes bild", "image/jpeg");
}

// The downloads over a test folder and a loopback camera, with a small size cap and time-out.
//
// The camera: "/cam/<anything>" answers with "bild <anything>"; targets starting with "/missing"
// get 404, "/loop" redirects to itself, "/big" and "/bigchunked" (without length) send more than
// the tests' size cap, "/endless" sends a chunked body for ever, "/trickle" a byte now and then,
// "/short" less than its length says, "/claims" a length far above the cap with a short body,
// "/silent" never answers; "/to-cam" and "/to-cam-abs" redirect to the camera's own "/cam/...",
// "/to-stranger" to the other server and "/to-file" to a local file.
struct Downloads {
    explicit Downloads(DownloadLimits limits = {800, 1000})
        : stranger(strangerAnswer), server([this](const QByteArray &target) { return cameraAnswer(target); }),
          downloads(
              rules, network, dialogs, [this](const QString &line) { notes.append(line); }, limits) {}

    std::optional<LoopbackHttpServer::Answer> cameraAnswer(const QByteArray &target) const {
        if (target.startsWith("/cam/"))
            return LoopbackHttpServer::response("200 OK", "bild " + target.mid(5), "image/jpeg");
        if (target.startsWith("/missing"))
            return LoopbackHttpServer::response("404 Not Found", "nicht da");
        if (target.startsWith("/loop"))
            return LoopbackHttpServer::redirect("302 Found", "/loop");
        if (target.startsWith("/bigchunked"))
            return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(5000, 'y');
        if (target.startsWith("/big"))
            return LoopbackHttpServer::response("200 OK", QByteArray(5000, 'x'));
        if (target.startsWith("/endless"))
            return LoopbackHttpServer::endlessChunked(QByteArray(4096, 'e'));
        if (target.startsWith("/trickle"))
            return LoopbackHttpServer::endlessChunked("t", 100);
        if (target.startsWith("/short"))
            return QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 500\r\nConnection: close\r\n\r\nnur zehn B");
        if (target.startsWith("/claims"))
            return QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1000000000000\r\nConnection: close\r\n\r\nklein");
        if (target.startsWith("/to-cam-abs"))
            return LoopbackHttpServer::redirect("301 Moved Permanently", server.baseUrl().toLatin1() + "/cam/abs");
        if (target.startsWith("/to-cam"))
            return LoopbackHttpServer::redirect("302 Found", "/cam/moved");
        if (target.startsWith("/to-stranger"))
            return LoopbackHttpServer::redirect("302 Found", stranger.baseUrl().toLatin1() + "/x.jpg");
        if (target.startsWith("/to-file"))
            return LoopbackHttpServer::redirect("302 Found", "file:///etc/passwd");
        if (target.startsWith("/silent"))
            return std::nullopt;
        return LoopbackHttpServer::response("500 Internal Server Error", "?");
    }

    QString cam(const QString &path = QStringLiteral("/cam/")) const { return server.baseUrl() + path; }
    // "SERVER" and "STRANGER" in a text become the camera's and the other server's addresses.
    QString resolve(QString text) const {
        return text.replace(u"SERVER"_qs, server.baseUrl())
            .replace(u"STRANGER"_qs, stranger.baseUrl().mid(int(qstrlen("http://"))));
    }
    // Runs the values and waits until no download runs or waits any more.
    bool settle() {
        return QTest::qWaitFor([this] { return downloads.isIdle(); }, 10000);
    }
    QStringList targets() const {
        QStringList result;
        for (const QByteArray &t : server.targets())
            result.append(QUrl::fromPercentEncoding(t));
        return result;
    }
    // The folder's files, temporary ones included.
    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    TempProgramFolder folder;
    LoopbackHttpServer stranger;
    LoopbackHttpServer server;
    QNetworkAccessManager network;
    FakeDialogs dialogs;
    QStringList notes;
    LoadReplaceList rules;
    LoadReplaceDownloads downloads;
};

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when there is none.
qint64 processStatusKiB(const QByteArray &field) {
    QFile status(u"/proc/self/status"_qs);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The file a failing download must leave exactly as it was: every byte value once.
QByteArray oldPicture() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}
} // namespace

class TestAutomations : public QObject {
    Q_OBJECT

private slots:
    // The file: what a file gives, and what it holds after an editor's step and a save.
    void fileRoundTrip_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QStringList>("sections");

        const QByteArray three = "[0]\r\nBezeichnung=A\r\nGANum=1\r\n[5]\r\nBezeichnung=B\r\nGANum=2\r\n"
                                 "[10]\r\nBezeichnung=C\r\nGANum=3\r\n";
        QTest::newRow("delete the first of three")
            << three << u"deleteFirst"_qs << QStringList{u"B"_qs, u"C"_qs} << QStringList{u"0"_qs, u"5"_qs};
        QTest::newRow("lone section 3 saved as 0") << QByteArray("[3]\r\nBezeichnung=Kamera\r\nHost=http://h/?v=\r\n")
                                                   << u"save"_qs << QStringList{u"Kamera"_qs} << QStringList{u"0"_qs};
        QTest::newRow("section 355 is read")
            << QByteArray("[0]\r\nBezeichnung=A\r\n[355]\r\nBezeichnung=Z\r\n[20]\r\nBezeichnung=M\r\n") << u"save"_qs
            << QStringList{u"A"_qs, u"M"_qs, u"Z"_qs} << QStringList{u"0"_qs, u"5"_qs, u"10"_qs};
        QTest::newRow("no name, no rule") << QByteArray("[0]\r\nHost=x\r\n[5]\r\nBezeichnung=B\r\n") << u"save"_qs
                                          << QStringList{u"B"_qs} << QStringList{u"0"_qs};
        QTest::newRow("delete the only rule")
            << QByteArray("[0]\r\nBezeichnung=A\r\n") << u"deleteFirst"_qs << QStringList{} << QStringList{};
    }
    void fileRoundTrip() {
        QFETCH(QByteArray, file);
        QFETCH(QString, step);
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, sections);
        TempProgramFolder folder;
        const QString path = loadReplaceFilePath(folder.path());
        QVERIFY(folder.write(kLoadReplaceFileName, file));
        LoadReplaceFileContent content = load_rlist(path);
        QVERIFY(content.errorString.isEmpty());
        FakeDialogs dialogs;
        dialogs.answers = {true};
        LoadReplaceEditor editor(content.rules, dialogs, {[&path] {
                                     return path;
                                 }});
        if (step == u"deleteFirst")
            QVERIFY(editor.lrdeletebtnClick(0));
        else
            editor.save();
        QVERIFY(dialogs.texts(FakeDialogs::Kind::Error).isEmpty());

        const LoadReplaceFileContent again = load_rlist(path);
        QCOMPARE(names(again.rules), loaded);
        QCOMPARE(again.rules, content.rules);
        QCOMPARE(numberedSections(IniFile(path)), sections);
    }

    void fileDefaultsAndKeys() {
        TempProgramFolder folder;
        const QString path = loadReplaceFilePath(folder.path());
        QVERIFY(folder.write(kLoadReplaceFileName, "[0]\r\nBezeichnung=Kamera\r\n"));
        LoadReplaceList rules = load_rlist(path).rules;
        QCOMPARE(rules.at(0), (LoadReplaceEntry{u"Kamera"_qs, {}, u"c:\\"_qs, {}, {}}));
        rules[0] = {u"Kamera Eingang"_qs, u"http://192.0.2.10/snap?img="_qs, u"c:\\bilder\\eingang.jpg"_qs, u"768"_qs,
                    u"1/2/3"_qs};
        QVERIFY(save_rlist(path, rules));
        QCOMPARE(folder.read(kLoadReplaceFileName),
                 QByteArray("[0]\r\nBezeichnung=Kamera Eingang\r\nHost=http://192.0.2.10/snap?img=\r\n"
                            "Saveto=c:\\bilder\\eingang.jpg\r\nGANum=768\r\nGA=1/2/3\r\n"));
    }

    void buttonStates_data() {
        QTest::addColumn<int>("rules");
        QTest::addColumn<int>("selected"); // flat position, -1 none
        QTest::addColumn<QString>("enabled");
        QTest::newRow("empty") << 0 << -1 << u""_qs;
        QTest::newRow("one rule") << 1 << 0 << u"aendern loeschen"_qs;
        QTest::newRow("first of two") << 2 << 0 << u"ab aendern loeschen"_qs;
        QTest::newRow("second of two") << 2 << 5 << u"auf aendern loeschen"_qs;
        QTest::newRow("middle of three") << 3 << 5 << u"auf ab aendern loeschen"_qs;
        QTest::newRow("an attribute") << 3 << 7 << u"loeschen"_qs;
        QTest::newRow("nothing selected") << 2 << -1 << u"loeschen"_qs;
    }
    void buttonStates() {
        QFETCH(int, rules);
        QFETCH(int, selected);
        QFETCH(QString, enabled);
        LoadReplaceList list;
        for (int k = 0; k < rules; ++k)
            list.append(rule(QString::number(k), {}, {}, u"1"_qs));
        FakeDialogs dialogs;
        LoadReplaceEditor editor(list, dialogs, {[] {
                                     return QString();
                                 }});
        const LoadReplaceButtons b =
            editor.rtreeChange(selected < 0 ? std::nullopt : std::optional<qsizetype>(selected));
        QStringList on;
        for (const auto &[name, state] :
             {std::pair{u"auf"_qs, b.auf}, {u"ab"_qs, b.ab}, {u"aendern"_qs, b.aendern}, {u"loeschen"_qs, b.loeschen}})
            if (state)
                on.append(name);
        QCOMPARE(on.join(u' '), enabled);
    }

    // A confirmed in-place edit appends the flat position of every node whose text equals it so far.
    void renameUnique_data() {
        QTest::addColumn<int>("flat");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("unchanged name of node 0") << 0 << u"Kamera"_qs << u"Kamera0"_qs;
        QTest::newRow("a new name") << 5 << u"Garten"_qs << u"Garten"_qs;
        QTest::newRow("another rule's name") << 5 << u"Kamera"_qs << u"Kamera0"_qs;
        QTest::newRow("chain") << 0 << u"Hof"_qs << u"Hof57"_qs;
        QTest::newRow("an attribute") << 3 << u"999"_qs << u"999"_qs;
    }
    void renameUnique() {
        QFETCH(int, flat);
        QFETCH(QString, text);
        QFETCH(QString, result);
        LoadReplaceList list;
        list.append(rule(u"Kamera"_qs, u"http://a/"_qs, u"/tmp/a"_qs, u"768"_qs));
        list.append(rule(u"Hof"_qs, u"http://b/"_qs, u"Hof5"_qs, u"769"_qs));
        FakeDialogs dialogs;
        LoadReplaceEditor editor(list, dialogs, {[] {
                                     return QString();
                                 }});
        QCOMPARE(editor.rtreeEdited(flat, text), result);
        QCOMPARE(list.nodeText(flat), result);
    }

    // The value 12.5 of number 768 fetches the host prefix plus the value as received.
    void downloadFetchesPrefixPlusValue() {
        Downloads d;
        const QString target = d.folder.file(u"eingang.jpg"_qs);
        d.rules.append(rule(u"Kamera"_qs, d.cam(u"/cam/x?v="_qs), target, u"768"_qs));
        d.rules.append(rule(u"Andere"_qs, d.cam(u"/cam/y?v="_qs), d.folder.file(u"y.jpg"_qs), u"769"_qs));
        QSignalSpy replaced(&d.downloads, &LoadReplaceDownloads::replaced);
        ValueDispatch dispatch;
        dispatch.addTarget(&d.downloads);
        dispatch.update_lv_menu(u"2|768|12.5"_qs, true); // also for the lines right after connecting
        QVERIFY(d.settle());
        QCOMPARE(d.targets(), QStringList{u"/cam/x?v=12.5"_qs});
        QCOMPARE(d.folder.read(u"eingang.jpg"_qs), QByteArray("bild x?v=12.5"));
        QCOMPARE(replaced.count(), 1);
        QVERIFY(d.dialogs.boxes.isEmpty());
    }

    // Every rule of the number is served, in list order; into one file the later one wins.
    void twoRulesOnOneNumber_data() {
        QTest::addColumn<bool>("sameFile");
        QTest::newRow("two files") << false;
        QTest::newRow("one file") << true;
    }
    void twoRulesOnOneNumber() {
        QFETCH(bool, sameFile);
        Downloads d;
        const QString first = d.folder.file(u"a.jpg"_qs);
        const QString second = sameFile ? first : d.folder.file(u"b.jpg"_qs);
        d.rules.append(rule(u"A"_qs, d.cam(u"/cam/a"_qs), first, u"768"_qs));
        d.rules.append(rule(u"B"_qs, d.cam(u"/cam/b"_qs), second, u"768"_qs));
        d.downloads.download_rlist(u"768"_qs, u"1"_qs);
        QVERIFY(d.settle());
        if (sameFile) {
            QCOMPARE(d.targets(), (QStringList{u"/cam/a1"_qs, u"/cam/b1"_qs}));
            QCOMPARE(d.folder.read(u"a.jpg"_qs), QByteArray("bild b1"));
        } else {
            QCOMPARE(d.targets().size(), 2);
            QCOMPARE(d.folder.read(u"a.jpg"_qs), QByteArray("bild a1"));
            QCOMPARE(d.folder.read(u"b.jpg"_qs), QByteArray("bild b1"));
        }
    }

    // Values that come while a file's download runs: the newest is fetched last, the ones between
    // are skipped.
    void newestValueWins() {
        Downloads d;
        d.rules.append(rule(u"A"_qs, d.cam(u"/cam/v"_qs), d.folder.file(u"a.jpg"_qs), u"768"_qs));
        for (const QString &value : {u"1"_qs, u"2"_qs, u"3"_qs})
            d.downloads.download_rlist(u"768"_qs, value);
        QVERIFY(d.settle());
        QCOMPARE(d.targets(), (QStringList{u"/cam/v1"_qs, u"/cam/v3"_qs}));
        QCOMPARE(d.folder.read(u"a.jpg"_qs), QByteArray("bild v3"));
    }

    // A failing rule keeps its old file byte for byte, leaves no temporary file, is reported once
    // with its name in a box and in the bus monitor, and the next rule is still served. No request
    // ever reaches another server than the rule's.
    void failingRuleKeepsFileAndOthersGoOn_data() {
        QTest::addColumn<QString>("host");   // "SERVER" and "STRANGER" become the loopback servers' addresses
        QTest::addColumn<QString>("value");  // the value received, also for the good rule
        QTest::addColumn<QString>("saveto"); // in the test folder
        QTest::addColumn<QString>("reason"); // a part of the reported text, "SERVER" and "STRANGER" as in host
        const QString v = u"1.0"_qs;
        QTest::newRow("404") << u"SERVER/missing"_qs << v << u"old.jpg"_qs << u"HTTP 404"_qs;
        QTest::newRow("redirect loop") << u"SERVER/loop"_qs << v << u"old.jpg"_qs << u"mehr als 5 Weiterleitungen"_qs;
        QTest::newRow("never answers") << u"SERVER/silent"_qs << v << u"old.jpg"_qs << u"keine Antwort"_qs;
        QTest::newRow("trickles") << u"SERVER/trickle"_qs << v << u"old.jpg"_qs << u"nach 0,8 Sekunden erst"_qs;
        QTest::newRow("too large") << u"SERVER/big"_qs << v << u"old.jpg"_qs << u"größer als 1000 Bytes"_qs;
        QTest::newRow("too large, no length") << u"SERVER/bigchunked"_qs << v << u"old.jpg"_qs << u"größer als"_qs;
        QTest::newRow("endless chunked body") << u"SERVER/endless"_qs << v << u"old.jpg"_qs << u"größer als"_qs;
        QTest::newRow("length above the cap, short body")
            << u"SERVER/claims"_qs << v << u"old.jpg"_qs << u"größer als"_qs;
        QTest::newRow("body shorter than its length") << u"SERVER/short"_qs << v << u"old.jpg"_qs << u"vor dem Ende"_qs;
        QTest::newRow("empty host") << u""_qs << v << u"old.jpg"_qs << u"keine Internetadresse"_qs;
        QTest::newRow("no URL") << u"kamera?v="_qs << v << u"old.jpg"_qs << u"keine Internetadresse"_qs;
        QTest::newRow("other scheme") << u"file:///etc/passwd?"_qs << v << u"old.jpg"_qs << u"keine Internetadresse"_qs;
        QTest::newRow("refused") << u"http://127.0.0.1:1/x"_qs << v << u"old.jpg"_qs << u"keine Verbindung"_qs;
        QTest::newRow("missing folder") << u"SERVER/cam/"_qs << v << u"fehlt/old.jpg"_qs
                                        << u"kann nicht geschrieben"_qs;
        QTest::newRow("value names another server")
            << u"SERVER"_qs << u"@STRANGER/x.jpg"_qs << u"old.jpg"_qs << u"den Server der Regel"_qs;
        QTest::newRow("value climbs out of the path")
            << u"SERVER/cam/v="_qs << u"../../etc/passwd"_qs << u"old.jpg"_qs << u"Pfadabschnitt"_qs;
        QTest::newRow("redirect to another server")
            << u"SERVER/to-stranger?"_qs << v << u"old.jpg"_qs
            << u"die Weiterleitung nach \"http://STRANGER/x.jpg\" führt zu einem anderen Server"_qs;
        QTest::newRow("redirect to a file") << u"SERVER/to-file?"_qs << v << u"old.jpg"_qs << u"keiner http"_qs;
    }
    void failingRuleKeepsFileAndOthersGoOn() {
        QFETCH(QString, host);
        QFETCH(QString, value);
        QFETCH(QString, saveto);
        QFETCH(QString, reason);
        Downloads d;
        QVERIFY(d.folder.write(u"old.jpg"_qs, oldPicture()));
        d.rules.append(rule(u"Kaputt"_qs, d.resolve(host), d.folder.file(saveto), u"768"_qs));
        d.rules.append(rule(u"Gut"_qs, d.cam(u"/cam/gut?v="_qs), d.folder.file(u"gut.jpg"_qs), u"768"_qs));
        QSignalSpy failed(&d.downloads, &LoadReplaceDownloads::failed);
        d.downloads.download_rlist(u"768"_qs, d.resolve(value));
        QVERIFY(d.settle());
        QTRY_COMPARE(failed.count(), 1);
        const QString text = failed.at(0).at(0).toString();
        QVERIFY2(text.contains(d.resolve(reason)), qPrintable(text));
        QVERIFY2(text.startsWith(u"Load & Replace \"Kaputt\": "_qs), qPrintable(text));
        QCOMPARE(d.dialogs.texts(FakeDialogs::Kind::Error), QStringList{text});
        QCOMPARE(d.notes, QStringList{text});
        QCOMPARE(d.folder.read(u"old.jpg"_qs), oldPicture());
        QCOMPARE(QUrl::fromPercentEncoding(d.folder.read(u"gut.jpg"_qs)), u"bild gut?v="_qs + d.resolve(value));
        QCOMPARE(d.stranger.targets(), QList<QByteArray>{});
        // No temporary file stays behind.
        QCOMPARE(d.files(), (QStringList{u"gut.jpg"_qs, u"old.jpg"_qs}));
    }

    // What the server is asked for when the address stays on the rule's server: redirects there are
    // followed (their own bodies are not the picture), and what the value holds reaches the server
    // as it was built, a "#" included.
    void downloadWithinTheRulesServer_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<QByteArray>("picture");
        QTest::newRow("relative redirect")
            << u"SERVER/to-cam?v="_qs << u"1"_qs << QStringList{u"/to-cam?v=1"_qs, u"/cam/moved"_qs}
            << QByteArray("bild moved");
        QTest::newRow("absolute redirect")
            << u"SERVER/to-cam-abs?v="_qs << u"1"_qs << QStringList{u"/to-cam-abs?v=1"_qs, u"/cam/abs"_qs}
            << QByteArray("bild abs");
        QTest::newRow("hash in the value")
            << u"SERVER/cam/t?v="_qs << u"a#b"_qs << QStringList{u"/cam/t?v=a#b"_qs} << QByteArray("bild t?v=a%23b");
        QTest::newRow("dots in the query") << u"SERVER/cam/q?v="_qs << u"../../x"_qs
                                           << QStringList{u"/cam/q?v=../../x"_qs} << QByteArray("bild q?v=../../x");
    }
    void downloadWithinTheRulesServer() {
        QFETCH(QString, host);
        QFETCH(QString, value);
        QFETCH(QStringList, targets);
        QFETCH(QByteArray, picture);
        Downloads d;
        d.rules.append(rule(u"Kamera"_qs, d.resolve(host), d.folder.file(u"a.jpg"_qs), u"768"_qs));
        QSignalSpy replaced(&d.downloads, &LoadReplaceDownloads::replaced);
        d.downloads.download_rlist(u"768"_qs, value);
        QVERIFY(d.settle());
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(d.targets(), targets);
        QCOMPARE(d.folder.read(u"a.jpg"_qs), picture);
        QVERIFY(d.dialogs.boxes.isEmpty());
    }

    // Where an address may go, from the rule's host text and the value alone.
    void downloadAddress_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("problem");       // LoadReplaceAddress::Problem
        QTest::addColumn<QByteArray>("target"); // the request line's target, when allowed
        using P = LoadReplaceAddress::Problem;
        QTest::newRow("value as received")
            << u"http://cam/snap?img="_qs << u"12.5"_qs << int(P::None) << QByteArray("/snap?img=12.5");
        QTest::newRow("port and scheme as written")
            << u"HTTP://Cam:80/x?v="_qs << u"1"_qs << int(P::None) << QByteArray("/x?v=1");
        QTest::newRow("https") << u"https://cam/x/"_qs << u"a.jpg"_qs << int(P::None) << QByteArray("/x/a.jpg");
        QTest::newRow("hash goes encoded")
            << u"http://cam/x/"_qs << u"a#b?c"_qs << int(P::None) << QByteArray("/x/a%23b?c");
        QTest::newRow("a user part of the rule stays")
            << u"http://u:p@cam/x?v="_qs << u"1"_qs << int(P::None) << QByteArray("/x?v=1");
        QTest::newRow("@ in the value") << u"http://cam"_qs << u"@evil.test/x.jpg"_qs << int(P::OtherServer)
                                        << QByteArray();
        QTest::newRow("backslash and @") << u"http://cam"_qs << u"\\@evil.test/x"_qs << int(P::OtherServer)
                                         << QByteArray();
        QTest::newRow("longer host name")
            << u"http://cam"_qs << u".evil.test/x"_qs << int(P::OtherServer) << QByteArray();
        QTest::newRow("other port") << u"http://cam:80"_qs << u"80/x"_qs << int(P::OtherServer) << QByteArray();
        QTest::newRow("user part from the value")
            << u"http://cam"_qs << u":pw@cam/x"_qs << int(P::OtherServer) << QByteArray();
        QTest::newRow("dot dot") << u"http://cam/ok/cam/v="_qs << u"../../etc/passwd"_qs << int(P::DotSegment)
                                 << QByteArray();
        QTest::newRow("encoded dot dot") << u"http://cam/a/"_qs << u"%2e%2E/b"_qs << int(P::DotSegment) << QByteArray();
        QTest::newRow("dot") << u"http://cam/a/"_qs << u"./b"_qs << int(P::DotSegment) << QByteArray();
        QTest::newRow("three dots are a name")
            << u"http://cam/a/"_qs << u".../b"_qs << int(P::None) << QByteArray("/a/.../b");
        QTest::newRow("no scheme") << u"cam/x?v="_qs << u"1"_qs << int(P::NoAddress) << QByteArray();
        QTest::newRow("ftp") << u"ftp://cam/"_qs << u"1"_qs << int(P::NoAddress) << QByteArray();
        QTest::newRow("no host") << u"http://"_qs << u"cam/x"_qs << int(P::NoAddress) << QByteArray();
    }
    void downloadAddress() {
        QFETCH(QString, host);
        QFETCH(QString, value);
        QFETCH(int, problem);
        QFETCH(QByteArray, target);
        const LoadReplaceAddress address = LoadReplaceAddress::of(host, value);
        QCOMPARE(int(address.problem), problem);
        const QUrl::FormattingOptions requestLine =
            QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment | QUrl::FullyEncoded;
        QCOMPARE(address.url.toEncoded(requestLine), target);
    }

    // A server that sends without end, as fast as loopback goes, from a thread of its own: the body
    // streams to disk and ends at the cap, the process's memory stays flat, the old file stays and
    // a download of another rule goes on meanwhile.
    void endlessBodyKeepsMemoryFlat() {
        constexpr qint64 kCap = 64LL * 1024 * 1024;
        constexpr qint64 kAllowedGrowthKiB = 20 * 1024;
        LoopbackHttpServerThread endless(
            [](const QByteArray &) { return LoopbackHttpServer::endlessChunked(QByteArray(64 * 1024, 'e')); });
        Downloads d(DownloadLimits{60000, kCap});
        QVERIFY(d.folder.write(u"old.jpg"_qs, oldPicture()));
        d.rules.append(
            rule(u"Endlos"_qs, endless.baseUrl() + u"/stream?v="_qs, d.folder.file(u"old.jpg"_qs), u"768"_qs));
        d.rules.append(rule(u"Gut"_qs, d.cam(u"/cam/gut?v="_qs), d.folder.file(u"gut.jpg"_qs), u"768"_qs));
        QSignalSpy failed(&d.downloads, &LoadReplaceDownloads::failed);
        QSignalSpy replaced(&d.downloads, &LoadReplaceDownloads::replaced);

        // Resets the peak resident size, so the peak read afterwards is this download's.
        QFile clearRefs(u"/proc/self/clear_refs"_qs);
        if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
            QSKIP("the peak resident size cannot be reset here (/proc/self/clear_refs)");
        clearRefs.close();
        const qint64 before = processStatusKiB("VmRSS");
        QVERIFY(before > 0);
        d.downloads.download_rlist(u"768"_qs, u"1"_qs);
        QVERIFY(d.settle());
        const qint64 peak = processStatusKiB("VmHWM");

        QTRY_COMPARE(failed.count(), 1);
        QVERIFY2(failed.at(0).at(0).toString().contains(u"größer als"_qs), qPrintable(failed.at(0).at(0).toString()));
        QVERIFY(endless.bytesSent() > kCap);
        QVERIFY2(peak - before < kAllowedGrowthKiB,
                 qPrintable(u"%1 KiB before, %2 KiB at the peak"_qs.arg(before).arg(peak)));
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(d.folder.read(u"gut.jpg"_qs), QByteArray("bild gut?v=1"));
        QCOMPARE(d.folder.read(u"old.jpg"_qs), oldPicture());
        QCOMPARE(d.files(), (QStringList{u"gut.jpg"_qs, u"old.jpg"_qs}));
    }

    // While an error box is open, further failures go to the bus monitor only.
    void oneErrorBoxAtATime() {
        Downloads d;
        d.rules.append(rule(u"Kaputt"_qs, d.cam(u"/missing?"_qs), d.folder.file(u"a.jpg"_qs), u"768"_qs));
        QSignalSpy failed(&d.downloads, &LoadReplaceDownloads::failed);
        int during = 0;
        d.dialogs.whileOpen = [&](const FakeDialogs::Box &) {
            d.downloads.download_rlist(u"768"_qs, u"2"_qs);
            QVERIFY(failed.wait(5000));
            during = int(d.notes.size());
        };
        d.downloads.download_rlist(u"768"_qs, u"1"_qs);
        QTRY_COMPARE(failed.count(), 2);
        QCOMPARE(during, 2);
        QCOMPARE(d.dialogs.boxes.size(), 1);
    }

    // A value with blanks or "|" goes as the server sent it, after what the user configured.
    void valueTextAsReceived() {
        Downloads d;
        d.rules.append(rule(u"A"_qs, d.cam(u"/cam/t?v="_qs), d.folder.file(u"a.txt"_qs), u"5"_qs));
        ValueDispatch dispatch;
        dispatch.addTarget(&d.downloads);
        dispatch.update_lv_menu(u"2|5|a b|c.5"_qs, false);
        QVERIFY(d.settle());
        QCOMPARE(d.targets(), QStringList{u"/cam/t?v=a b|c.5"_qs});
        QVERIFY(!d.folder.read(u"a.txt"_qs).isEmpty());
    }

    // Only the bound number, only outside the first read: "1,0" starts, anything else ends.
    void screenSaver_data() {
        QTest::addColumn<QString>("binding");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("initial");
        QTest::addColumn<QStringList>("calls");
        const QStringList start{u"activate"_qs};
        const QStringList end{u"deactivate"_qs};
        QTest::newRow("1.0 starts") << u"768"_qs << u"2|768|1.0"_qs << false << start;
        QTest::newRow("1 ends") << u"768"_qs << u"2|768|1"_qs << false << end;
        QTest::newRow("0.0 ends") << u"768"_qs << u"2|768|0.0"_qs << false << end;
        QTest::newRow("text ends") << u"768"_qs << u"2|768|an"_qs << false << end;
        QTest::newRow("initial does nothing") << u"768"_qs << u"2|768|1.0"_qs << true << QStringList{};
        QTest::newRow("other number") << u"768"_qs << u"2|769|1.0"_qs << false << QStringList{};
        QTest::newRow("unbound") << u"Drag&&Drop"_qs << u"2|768|1.0"_qs << false << QStringList{};
        QTest::newRow("empty binding, empty number") << u""_qs << u"2||1.0"_qs << false << QStringList{};
    }
    void screenSaver() {
        QFETCH(QString, binding);
        QFETCH(QString, line);
        QFETCH(bool, initial);
        QFETCH(QStringList, calls);
        FakeScreenSaver control;
        ScreenSaverValue target(control, [&binding] { return binding; });
        ValueDispatch dispatch;
        dispatch.addTarget(&target);
        dispatch.update_lv_menu(line, initial);
        QCOMPARE(control.calls, calls);
    }
};

QTEST_MAIN(TestAutomations)
#include "tst_automations.moc"

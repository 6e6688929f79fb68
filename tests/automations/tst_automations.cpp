#include "FakeDialogs.h"
#include "FakePlatform.h"
#include "LoadReplaceDownloads.h"
#include "LoadReplaceEditor.h"
#include "LoadReplaceFile.h"
#include "LoopbackHttpServer.h"
#include "NumberedSections.h"
#include "ScreenSaverValue.h"
#include "TempProgramFolder.h"
#include "ValueDispatch.h"

#include <QDir>
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

// A camera on loopback: "/cam/<anything>" answers with "bild <anything>"; targets starting with
// "/missing" get 404, "/loop" redirects to itself, "/big" and "/bigchunked" (without length) send
// more than the tests' size cap, "/silent" never answers.
QByteArray cameraAnswer(const QByteArray &target) {
    if (target.startsWith("/cam/"))
        return LoopbackHttpServer::response("200 OK", "bild " + target.mid(5), "image/jpeg");
    if (target.startsWith("/missing"))
        return LoopbackHttpServer::response("404 Not Found", "nicht da");
    if (target.startsWith("/loop"))
        return "HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    if (target.startsWith("/bigchunked"))
        return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(5000, 'y');
    if (target.startsWith("/big"))
        return LoopbackHttpServer::response("200 OK", QByteArray(5000, 'x'));
    return {};
}

// The downloads over a test folder and a loopback camera, with a small size cap and time-out.
struct Downloads {
    Downloads()
        : server([](const QByteArray &target) -> std::optional<QByteArray> {
              if (target.startsWith("/silent"))
                  return std::nullopt;
              return cameraAnswer(target);
          }),
          downloads(
              rules, network, dialogs, [this](const QString &line) { notes.append(line); },
              DownloadLimits{1500, 1000}) {}

    QString cam(const QString &path = QStringLiteral("/cam/")) const { return server.baseUrl() + path; }
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

    TempProgramFolder folder;
    LoopbackHttpServer server;
    QNetworkAccessManager network;
    FakeDialogs dialogs;
    QStringList notes;
    LoadReplaceList rules;
    LoadReplaceDownloads downloads;
};
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

    // A failing rule keeps its old file, is reported once in a box and in the bus monitor, and the
    // next rule is still served.
    void failingRuleKeepsFileAndOthersGoOn_data() {
        QTest::addColumn<QString>("host");   // "SERVER" is replaced by the loopback camera's address
        QTest::addColumn<QString>("saveto"); // in the test folder
        QTest::addColumn<QString>("reason"); // a part of the reported text
        QTest::newRow("404") << u"SERVER/missing"_qs << u"old.jpg"_qs << u"nicht geladen werden"_qs;
        QTest::newRow("redirect loop") << u"SERVER/loop"_qs << u"old.jpg"_qs << u"nicht geladen werden"_qs;
        QTest::newRow("never answers") << u"SERVER/silent"_qs << u"old.jpg"_qs << u"keine Antwort"_qs;
        QTest::newRow("too large") << u"SERVER/big"_qs << u"old.jpg"_qs << u"größer als 1000 Bytes"_qs;
        QTest::newRow("too large, no length") << u"SERVER/bigchunked"_qs << u"old.jpg"_qs << u"größer als"_qs;
        QTest::newRow("empty host") << u""_qs << u"old.jpg"_qs << u"keine Internetadresse"_qs;
        QTest::newRow("no URL") << u"kamera?v="_qs << u"old.jpg"_qs << u"keine Internetadresse"_qs;
        QTest::newRow("other scheme") << u"file:///etc/passwd?"_qs << u"old.jpg"_qs << u"keine Internetadresse"_qs;
        QTest::newRow("refused") << u"http://127.0.0.1:1/x"_qs << u"old.jpg"_qs << u"nicht geladen werden"_qs;
        QTest::newRow("missing folder") << u"SERVER/cam/"_qs << u"fehlt/old.jpg"_qs << u"kann nicht geschrieben"_qs;
    }
    void failingRuleKeepsFileAndOthersGoOn() {
        QFETCH(QString, host);
        QFETCH(QString, saveto);
        QFETCH(QString, reason);
        Downloads d;
        QVERIFY(d.folder.write(u"old.jpg"_qs, "altes bild"));
        d.rules.append(
            rule(u"Kaputt"_qs, host.replace(u"SERVER"_qs, d.server.baseUrl()), d.folder.file(saveto), u"768"_qs));
        d.rules.append(rule(u"Gut"_qs, d.cam(u"/cam/gut"_qs), d.folder.file(u"gut.jpg"_qs), u"768"_qs));
        QSignalSpy failed(&d.downloads, &LoadReplaceDownloads::failed);
        d.downloads.download_rlist(u"768"_qs, u"1.0"_qs);
        QVERIFY(d.settle());
        QTRY_COMPARE(failed.count(), 1);
        const QString text = failed.at(0).at(0).toString();
        QVERIFY2(text.contains(reason), qPrintable(text));
        QCOMPARE(d.dialogs.texts(FakeDialogs::Kind::Error), QStringList{text});
        QCOMPARE(d.notes, QStringList{text});
        QCOMPARE(d.folder.read(u"old.jpg"_qs), QByteArray("altes bild"));
        QCOMPARE(d.folder.read(u"gut.jpg"_qs), QByteArray("bild gut1.0"));
        // No temporary file stays behind.
        QCOMPARE(QDir(d.folder.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"gut.jpg"_qs, u"old.jpg"_qs}));
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

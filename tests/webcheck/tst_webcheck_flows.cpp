// The checker window's flows: a value defined on "Neu", templates, the export and the check.
#include "CheckerFixture.h"

#include <QFileSystemModel>

namespace {
// "W-wetter.test-qnd.ovw": its head line, the host "wetter.test" and `site`, and one entry defined
// as object "T" at the positions of `row`.
void writeOneEntryProject(Checker &c, const QByteArray &head, const QByteArray &row, const QByteArray &site) {
    QVERIFY(c.folder.write(u"W-wetter.test-qnd.ovw"_qs,
                           "[OVWCHead]\r\n" + head + "\r\nWAHOST=wetter.test\r\nWASITE=" + site +
                               "\r\nANZAHL=1\r\n[OVWC]\r\n" + row + "\r\nANH-0=4|0|03|T|\r\nANJ-0=T\r\n"));
}

// The window opened again, so it lists the project, which is then chosen and exported.
void exportTheProject(Checker &c) {
    c.window.close();
    c.window.open();
    c.selectProject(u"W-wetter.test-qnd.ovw"_qs);
    c.click("exportbtn");
}
} // namespace

class TestWebCheckFlows : public QObject {
    Q_OBJECT

private slots:
    // A checked row opens the tab "Neu"; the trims change the entry at once, Abbruch keeps them.
    void definitionTrimsAndAbbruch() {
        LoopbackHttp http;
        http.put("/wetter.html", kFlowPage);
        Checker c;
        c.analyse(http);
        auto *list = c.find<QAbstractItemView>("Liste");
        const int row = rowOf(list, u"21"_qs);
        QVERIFY(row >= 0);
        setChecked(list, row);
        QCOMPARE(c.tabs()->currentWidget()->objectName(), u"neutab"_qs);
        QCOMPARE(c.find<QLabel>("aktdaten")->text(), u"21"_qs);
        c.click("vtlinks");
        c.click("ntlinks");
        QCOMPARE(c.find<QLabel>("aktdaten")->text(), u">21<"_qs);
        c.click("vtrechts");
        QCOMPARE(cell(list, row, 0), u"21<"_qs);
        QCOMPARE(cell(list, row, 1), u"35"_qs);
        QCOMPARE(cell(list, row, 2), u"37"_qs);
        QVERIFY(!c.find<QPushButton>("okbtn")->isEnabled());
        QVERIFY(!c.find<QPushButton>("addKO")->isEnabled());
        c.click("abbruchbtn");
        QVERIFY(!c.tabShown(u"Neu"_qs));
        QVERIFY(c.tabs()->tabText(c.tabs()->currentIndex()).startsWith(u"Browser"_qs));
        QCOMPARE(cell(list, row, 0), u"21<"_qs);
        QVERIFY(cell(list, row, 9).isEmpty());
    }

    // "Erstellen" builds the KoSpec; the value type and the conversion box edit it in place.
    void koSpecEditedInPlaceOnTheTab() {
        LoopbackHttp http;
        http.put("/wetter.html", kFlowPage);
        Checker c;
        c.analyse(http);
        setChecked(c.find<QAbstractItemView>("Liste"), 0);
        c.find<QComboBox>("kotyp")->setCurrentIndex(3);
        QTest::keyClicks(c.edit("kobez"), u"Temperatur"_qs);
        c.click("addKO");
        auto *spec = c.find<QLabel>("kospec");
        QCOMPARE(spec->text(), u"4|0|03|Temperatur"_qs);
        QVERIFY(c.find<QPushButton>("okbtn")->isEnabled());
        c.find<QComboBox>("werttyp")->setCurrentIndex(1);
        QCOMPARE(spec->text(), u"6|0|03|Temperatur"_qs);
        QVERIFY(c.find<QPlainTextEdit>("wertliste")->isEnabled());
        c.click("umwandcb");
        QCOMPARE(spec->text(), u"6|1|03|Temperatur"_qs);
        c.click("abbruchbtn");
        QCOMPARE(spec->text(), u"Passendes KO erstellen"_qs);
        QCOMPARE(c.find<QComboBox>("werttyp")->currentIndex(), 0);
        QVERIFY(!c.find<QPlainTextEdit>("wertliste")->isEnabled());
    }

    void templatesFromTheTab_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("Vorlage übernehmen") << true;
        QTest::newRow("Cancel leaves the list") << false;
    }

    void templatesFromTheTab() {
        QFETCH(bool, accept);
        LoopbackHttp http;
        http.put("/wetter.html", kFlowPage);
        Checker c;
        QVERIFY(c.folder.write(u"Gif1=1-qnd.wcv"_qs, "[OVWV]\r\nLINE0=Gif1=1\r\nLINE1=Gif2=2\r\n"));
        c.analyse(http);
        setChecked(c.find<QAbstractItemView>("Liste"), 0);
        c.find<QComboBox>("werttyp")->setCurrentIndex(1);
        auto *list = c.find<QPlainTextEdit>("wertliste");
        list->setPlainText(u"alt"_qs);
        auto *chooser = c.find<QComboBox>("vorlagewahl");
        QCOMPARE(chooser->count(), 1);
        c.dialogs.answers = {accept};
        chooser->activated(0);
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{u"Vorlage übernehmen?"_qs});
        QCOMPARE(list->toPlainText(), accept ? u"Gif1=1\nGif2=2"_qs : u"alt"_qs);
    }

    void templatesAreManagedOnDaten() {
        Checker c;
        QVERIFY(c.folder.write(u"a-qnd.wcv"_qs, "[OVWV]\r\nLINE0=a\r\n"));
        QVERIFY(c.folder.write(u"b-qnd.wcv"_qs, "[OVWV]\r\nLINE0=b\r\n"));
        c.window.close();
        c.window.open();
        auto *list = c.find<QListWidget>("vorlageliste");
        QCOMPARE(list->count(), 2);
        list->setCurrentRow(0);
        c.dialogs.answers = {false, true};
        c.click("deletevlgbtn");
        QVERIFY(QFile::exists(c.folder.file(u"a-qnd.wcv"_qs)));
        c.click("deletevlgbtn");
        QVERIFY(!QFile::exists(c.folder.file(u"a-qnd.wcv"_qs)));
        QCOMPARE(list->count(), 1);
    }

    void exportOfBrokenProjectsWritesNothing_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("folderInTheWay");
        QTest::newRow("start no number") << QByteArray("WABEZ=W") << QByteArray("ANC-0=x\r\nAND-0=15")
                                         << u"W-wetter.test-qnd.ovw"_qs << false;
        QTest::newRow("Bezeichnung leaving the folder")
            << QByteArray("WABEZ=../W") << QByteArray("ANC-0=14\r\nAND-0=15") << u"../W-qnd.htip"_qs << false;
        // The export is built but cannot be written: the message names the file, nothing is left.
        QTest::newRow("a folder where the export should be")
            << QByteArray("WABEZ=W") << QByteArray("ANC-0=14\r\nAND-0=15") << u"W-qnd.htip"_qs << true;
    }

    void exportOfBrokenProjectsWritesNothing() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, row);
        QFETCH(QString, named);
        QFETCH(bool, folderInTheWay);
        LoopbackHttp http;
        http.put("/w.html", "abcdefghij<b>42</b>");
        Checker c;
        c.browser->servers.insert(u"wetter.test"_qs, QUrl(http.url("")));
        writeOneEntryProject(c, head, row, "/w.html");
        if (folderInTheWay)
            QVERIFY(QDir().mkdir(c.folder.file(u"W-qnd.htip"_qs)));
        exportTheProject(c);
        QTRY_COMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY2(c.dialogs.texts(FakeDialogs::Kind::Error).first().contains(named),
                 qPrintable(c.dialogs.texts(FakeDialogs::Kind::Error).first()));
        QCOMPARE(QDir(c.folder.path()).entryList({u"*.htip"_qs}, QDir::Files), QStringList());
        QVERIFY(!QFile::exists(c.folder.file(u"../W-qnd.htip"_qs)));
        QCOMPARE(QDir(c.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"W-wetter.test-qnd.ovw"_qs});
        QCOMPARE(QFileInfo(c.folder.file(u"W-qnd.htip"_qs)).isDir(), folderInTheWay);
        QVERIFY(c.find<QLabel>("exportlb")->text() != u"Fertig!"_qs);
    }

    void failedExportSaysSo_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("site");
        QTest::newRow("start no number") << QByteArray("WABEZ=W") << QByteArray("ANC-0=x\r\nAND-0=15")
                                         << QByteArray("/w.html");
        QTest::newRow("Bezeichnung leaving the folder")
            << QByteArray("WABEZ=../W") << QByteArray("ANC-0=14\r\nAND-0=15") << QByteArray("/w.html");
        QTest::newRow("page cannot be fetched")
            << QByteArray("WABEZ=W") << QByteArray("ANC-0=14\r\nAND-0=15") << QByteArray("/fehlt.html");
    }

    // An export that made no file says so instead of keeping the step it had reached.
    void failedExportSaysSo() {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, site);
        LoopbackHttp http;
        http.put("/w.html", "abcdefghij<b>42</b>");
        Checker c;
        c.browser->servers.insert(u"wetter.test"_qs, QUrl(http.url("")));
        writeOneEntryProject(c, head, row, site);
        exportTheProject(c);
        QTRY_COMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QTRY_COMPARE(c.find<QLabel>("exportlb")->text(), u"Export fehlgeschlagen"_qs);
        QCOMPARE(c.find<QProgressBar>("exportbar")->value(), 0);
        QVERIFY(c.find<QLabel>("exportdatei")->text().isEmpty());
        QCOMPARE(QDir(c.folder.path()).entryList({u"*.htip"_qs}, QDir::Files), QStringList());
    }

    // The folder models watch the folders they show: they exist only while the tab is shown, and the
    // file chosen is chosen again when the tab comes back.
    void checkTabWatchesFoldersOnlyWhileShown() {
        Checker c;
        QVERIFY(c.folder.write(u"a-qnd.htip"_qs, "IMPORT:IPBIDIR,VERSION:1.0\r\n"));
        c.discardNewProject();
        QCOMPARE(c.window.findChildren<QFileSystemModel *>().size(), 0);
        c.showCheckTab();
        QCOMPARE(c.window.findChildren<QFileSystemModel *>().size(), 2);
        auto *files = c.find<QListView>("TeShellListView1");
        QTRY_COMPARE(files->model()->rowCount(files->rootIndex()), 1);
        files->setCurrentIndex(files->model()->index(0, 0, files->rootIndex()));
        c.tabs()->setCurrentIndex(0);
        QCOMPARE(c.window.findChildren<QFileSystemModel *>().size(), 0);
        c.showCheckTab();
        QTRY_VERIFY(c.find<QPushButton>("pruefbtn")->isEnabled());
        QCOMPARE(files->currentIndex().data().toString(), u"a-qnd.htip"_qs);
    }

    void checkOfAShortFileNamesIt() {
        Checker c;
        QVERIFY(c.folder.write(u"kurz-qnd.htip"_qs, "IMPORT:IPBIDIR,VERSION:1.0\r\n"));
        c.discardNewProject();
        c.showCheckTab();
        auto *files = c.find<QListView>("TeShellListView1");
        QTRY_COMPARE(files->model()->rowCount(files->rootIndex()), 1);
        files->setCurrentIndex(files->model()->index(0, 0, files->rootIndex()));
        QVERIFY(c.find<QPushButton>("pruefbtn")->isEnabled());
        c.click("pruefbtn");
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(c.dialogs.texts(FakeDialogs::Kind::Error).first().contains(u"kurz-qnd.htip"_qs));
        QCOMPARE(c.find<QTreeWidget>("waliste")->topLevelItemCount(), 0);
        QCOMPARE(c.browser->navigations, QStringList());
    }

    // New, load, analyse, define a plain and a list value, Save, Export, Check.
    void wholeFlow() {
        LoopbackHttp http;
        http.put("/wetter.html", kFlowPage);
        Checker c;
        c.browser->servers.insert(u"wetter.test"_qs, QUrl(http.url("")));
        c.click("neubtn");
        c.fill(u"Wetter"_qs, u"wetter.test"_qs, u"/wetter.html"_qs);
        c.click("gobrowser");
        QTRY_VERIFY(c.find<QPushButton>("analysebtn")->isEnabled());
        c.click("analysebtn");
        QTRY_COMPARE(c.find<QLabel>("statustext")->text(), u"Fertig!"_qs);
        auto *list = c.find<QAbstractItemView>("Liste");

        setChecked(list, rowOf(list, u"21"_qs));
        c.find<QComboBox>("kotyp")->setCurrentIndex(3);
        QTest::keyClicks(c.edit("kobez"), u"Temp"_qs);
        c.click("addKO");
        c.click("okbtn");
        QVERIFY(!c.tabShown(u"Neu"_qs));

        setChecked(list, rowOf(list, u"Sonnig"_qs));
        c.find<QComboBox>("werttyp")->setCurrentIndex(1);
        c.find<QPlainTextEdit>("wertliste")->setPlainText(u"Sonnig\nRegen"_qs);
        c.find<QCheckBox>("alsvorlagecb")->setChecked(true);
        c.find<QComboBox>("kotyp")->setCurrentIndex(0);
        c.edit("kobez")->setText(u"Wetterlage"_qs);
        c.click("addKO");
        c.click("okbtn");
        QVERIFY(c.folder.read(u"Sonnig-qnd.wcv"_qs).contains("LINE1=Regen"));
        QCOMPARE(c.find<QListWidget>("vorlageliste")->count(), 1);

        c.click("savebtn");
        QVERIFY(c.dialogs.texts(FakeDialogs::Kind::Error).isEmpty());
        c.selectProject(u"Wetter-wetter.test-qnd.ovw"_qs);
        c.click("exportbtn");
        QTRY_COMPARE(c.find<QLabel>("exportlb")->text(), u"Fertig!"_qs);
        QCOMPARE(c.find<QProgressBar>("exportbar")->value(), 100);
        QCOMPARE(c.find<QLabel>("exportdatei")->text(),
                 u"Importdatei gespeichert: "_qs + QDir::toNativeSeparators(c.folder.file(u"Wetter-qnd.htip"_qs)));
        const QByteArray cmd = R"(22701|2|<?CMD CMD="CHGID" OLDID="123" ?>|0||)";
        const QByteArray closing = cmd + "0|0|0|0|0|0|0";
        const QByteArray expected =
            "IMPORT:IPBIDIR,VERSION:1.0\r\nPROJ:7f3c9e21d04b5a86c2e1f09b3d7a4c58\r\nLIB:NO\r\n"
            R"(22700|<?CMD CMD="ID" OLDID="123" ?>|0|0|Wetter|wetter.test|80|1||/wetter.html||0|||0|0||0|0)"
            "\r\n" +
            closing + "\r\n" + cmd + "2|643E3C74643E|0|0|0|0|0\r\n" + cmd +
            R"(4|0|<?OBJ TYPE="11001" ID="124" TEXT="Temp" FMT="03" ?>|0|0|0|0)" + "\r\n" + cmd +
            "2|3C2F74|0|0|0|0|0\r\n" + closing + "\r\n" + cmd + "2|643E3C74643E|0|0|0|0|0\r\n" + cmd +
            R"(6|536F6E6E69670D0A526567656E0D0A|<?OBJ TYPE="11001" ID="124" TEXT="Wetterlage" FMT="00" ?>|0|0|0|0)" +
            "\r\n" + cmd + "2|3C2F74|0|0|0|0|0\r\n" + closing + "\r\n";
        QCOMPARE(c.folder.read(u"Wetter-qnd.htip"_qs), expected);

        c.showCheckTab();
        auto *files = c.find<QListView>("TeShellListView1");
        QTRY_COMPARE(files->model()->rowCount(files->rootIndex()), 1);
        files->setCurrentIndex(files->model()->index(0, 0, files->rootIndex()));
        c.click("pruefbtn");
        auto *rows = c.find<QTreeWidget>("waliste");
        QTRY_COMPARE(rows->topLevelItemCount(), 9);
        QCOMPARE(c.find<QLabel>("bezlb")->text(), u"Bezeichnung: Wetter"_qs);
        QCOMPARE(c.find<QLabel>("sitelb")->text(), u"Website: wetter.test/wetter.html"_qs);
        QCOMPARE(c.find<QLabel>("portlb")->text(), u"Port: 80"_qs);
        QStringList shown;
        for (int i = 0; i < rows->topLevelItemCount(); ++i)
            if (!rows->topLevelItem(i)->text(0).isEmpty())
                shown.append(rows->topLevelItem(i)->text(0) + u'=' + rows->topLevelItem(i)->text(1));
        QCOMPARE(shown, (QStringList{u"Temp=21</t"_qs, u"Wetterlage=Sonni"_qs}));
        QCOMPARE(c.tabs()->currentWidget()->objectName(), u"prueftab"_qs);
        QCOMPARE(c.find<QLabel>("pruefstatus")->text(), u"Fertig! 4 Suchtexte, davon 0 nicht gefunden (FEHLER)."_qs);
        // The last hit's five characters are selected in the source view.
        QCOMPARE(c.find<QPlainTextEdit>("quelltext")->textCursor().selectedText(), u"d></t"_qs);
    }
};

QTEST_MAIN(TestWebCheckFlows)
#include "tst_webcheck_flows.moc"

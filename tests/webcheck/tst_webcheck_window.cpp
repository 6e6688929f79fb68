// The checker window: its projects on "Daten", the page and its analysis on "Browser", closing.
#include "CheckerFixture.h"

class TestWebCheckWindow : public QObject {
    Q_OBJECT

private slots:
    void firstOpening() {
        Checker c;
        QCOMPARE(c.window.objectName(), u"TForm4"_qs);
        QCOMPARE(c.window.windowTitle(), u"Quendra - Webchecker 0.2 Beta"_qs);
        QCOMPARE(c.edit("WABez")->text(), u"Bezeichnung - für Speicherung des Projektes"_qs);
        QCOMPARE(c.edit("WAPORT")->text(), u"80"_qs);
        QCOMPARE(c.edit("WASITE")->text(), u"/index.html"_qs);
        QVERIFY(!c.edit("WABez")->isEnabled());
        QVERIFY(!c.find<QPushButton>("savebtn")->isEnabled());
        QVERIFY(c.find<QPushButton>("neubtn")->isEnabled());
        QVERIFY(!c.find<QPushButton>("openbtn")->isEnabled()); // no project yet
        QCOMPARE(c.tabs()->tabText(c.tabs()->currentIndex()), u"Daten"_qs);
        QVERIFY(!c.tabShown(u"Browser"_qs));
        QVERIFY(!c.tabShown(u"Webabfragen"_qs));
        QVERIFY(c.browser); // created when the window is shown
    }

    void newAndSave() {
        Checker c;
        c.click("neubtn");
        QVERIFY(c.edit("WAHOST")->isEnabled());
        QVERIFY(c.find<QPushButton>("savebtn")->isEnabled());
        QVERIFY(!c.find<QPushButton>("neubtn")->isEnabled());
        // A click into a field that holds its placeholder empties it.
        QTest::mouseClick(c.edit("WABez"), Qt::LeftButton);
        QVERIFY(c.edit("WABez")->text().isEmpty());
        c.fill(u"Wetter"_qs, u"wetter.example"_qs, u"/heute.html"_qs);
        c.click("savebtn");
        const QByteArray file = c.folder.read(u"Wetter-wetter.example-qnd.ovw"_qs);
        QVERIFY(file.contains("WABEZ=Wetter"));
        QVERIFY(file.contains("ANZAHL=0"));
        QCOMPARE(c.edit("WAHOST")->text(), u"z.B. www.example.com"_qs);
        QCOMPARE(c.edit("WASITE")->text(), u"z.B. /index.html"_qs);
        QVERIFY(!c.edit("WAHOST")->isEnabled());
        QVERIFY(!c.find<QPushButton>("savebtn")->isEnabled());
        QVERIFY(c.find<QPushButton>("openbtn")->isEnabled());
        QVERIFY(c.tabShown(u"Webabfragen"_qs));
        QCOMPARE(c.find<QListWidget>("projektliste")->count(), 1);
        QVERIFY(c.dialogs.boxes.isEmpty());
    }

    void saveRefusesNamesOutsideTheFolder() {
        Checker c;
        c.click("neubtn");
        c.fill(u"Wetter"_qs, u"../h"_qs, u"/"_qs);
        c.click("savebtn");
        const QStringList errors = c.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(u"Wetter-../h-qnd.ovw"_qs), qPrintable(errors.first()));
        QVERIFY(c.find<QPushButton>("savebtn")->isEnabled());
        QCOMPARE(c.edit("WAHOST")->text(), u"../h"_qs);
    }

    void openFillsFieldsThenRowsWhenThePageCompletes() {
        Checker c;
        writeProject(c.folder, u"Wetter-h-qnd.ovw"_qs, 2);
        c.window.open(); // reads the project list again
        c.selectProject(u"Wetter-h-qnd.ovw"_qs);
        c.click("openbtn");
        QCOMPARE(c.edit("WAHOST")->text(), u"h"_qs);
        QCOMPARE(c.browser->navigations.last(), u"h/w.html"_qs);
        QCOMPARE(c.rows(), 0);
        QVERIFY(c.tabShown(u"Browser - Wetter"_qs));
        QCOMPARE(c.tabs()->tabText(c.tabs()->currentIndex()), u"Daten"_qs);
        QTRY_COMPARE(c.rows(), 2);
        QCOMPARE(c.find<QAbstractItemView>("Liste")->model()->index(1, 0).data().toString(), u"Wert 1"_qs);
        QVERIFY(c.find<QPushButton>("savebtn")->isEnabled());
        QVERIFY(!c.find<QPushButton>("openbtn")->isEnabled());
    }

    // The list's keys go by rows: Left and Right only scroll sideways, Home and End go to the first
    // and last row in the same column, and the space bar ticks the row the keys went to.
    void listKeysGoByRows() {
        Checker c;
        writeProject(c.folder, u"Wetter-h-qnd.ovw"_qs, 30);
        c.window.open();
        c.selectProject(u"Wetter-h-qnd.ovw"_qs);
        c.click("openbtn");
        QTRY_COMPARE(c.rows(), 30);
        auto *list = c.find<QAbstractItemView>("Liste");
        list->setCurrentIndex(list->model()->index(5, 0));
        const struct {
            Qt::Key key;
            int row;
        } steps[] = {{Qt::Key_End, 29}, {Qt::Key_Right, 29}, {Qt::Key_Left, 29}, {Qt::Key_Home, 0}, {Qt::Key_Down, 1}};
        for (const auto &step : steps) {
            QTest::keyClick(list, step.key);
            QCOMPARE(list->currentIndex().row(), step.row);
            QCOMPARE(list->currentIndex().column(), 0);
        }
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(list->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    void openAndExportNeedASelection() {
        Checker c;
        writeProject(c.folder, u"Wetter-h-qnd.ovw"_qs, 0);
        c.window.open();
        c.find<QListWidget>("projektliste")->clearSelection();
        c.click("openbtn");
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Information), QStringList{u"Bitte erst ein Projekt auswählen."_qs});
        QVERIFY(c.browser->navigations.isEmpty());
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("OK deletes") << true;
        QTest::newRow("Cancel keeps") << false;
    }

    void deleteAsksFirst() {
        QFETCH(bool, answer);
        Checker c;
        writeProject(c.folder, u"Wetter-h-qnd.ovw"_qs, 1);
        c.window.open();
        c.selectProject(u"Wetter-h-qnd.ovw"_qs);
        c.dialogs.answers = {answer};
        c.click("deletebtn");
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{u"Wirklich löschen?"_qs});
        QCOMPARE(QFile::exists(c.folder.file(u"Wetter-h-qnd.ovw"_qs)), !answer);
        QCOMPARE(c.find<QListWidget>("projektliste")->findItems(u"Wetter-h-qnd.ovw"_qs, Qt::MatchExactly).size(),
                 answer ? 0 : 1);
    }

    void closeQuestion_data() {
        QTest::addColumn<Dialogs::Choice>("choice");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<int>("errors");
        QTest::addColumn<bool>("keepsProject");
        QTest::newRow("Cancel") << Dialogs::Choice::Cancel << true << 0 << true;
        // The Bezeichnung holds a "|", which a Windows file name forbids.
        QTest::newRow("Yes with a name that cannot be saved") << Dialogs::Choice::Yes << true << 1 << true;
        QTest::newRow("No discards") << Dialogs::Choice::No << false << 0 << false;
    }

    void closeQuestion() {
        QFETCH(Dialogs::Choice, choice);
        QFETCH(bool, staysOpen);
        QFETCH(int, errors);
        QFETCH(bool, keepsProject);
        LoopbackHttp http;
        http.put("/wetter.html", kPage);
        Checker c;
        c.click("neubtn");
        c.analyse(http);
        QVERIFY(c.rows() > 0);
        c.edit("WABez")->setText(u"Wetter|"_qs);
        c.dialogs.choices = {choice};
        c.window.close();
        QCOMPARE(c.dialogs.chosen, QStringList{u"Aktuelles Projekt noch nicht gespeichert!\rProjekt speichern?"_qs});
        QCOMPARE(c.window.isVisible(), staysOpen);
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), errors);
        QCOMPARE(c.rows() > 0, keepsProject);
        QCOMPARE(c.find<QPushButton>("savebtn")->isEnabled(), keepsProject);
        QCOMPARE(c.edit("WABez")->text(),
                 keepsProject ? u"Wetter|"_qs : u"Bezeichnung - für Speicherung des Projektes"_qs);
        QCOMPARE(c.tabShown(u"Webabfragen"_qs), choice != Dialogs::Choice::Cancel);
        // Closing without an edited project asks nothing.
        if (!keepsProject) {
            c.window.open();
            c.window.close();
            QCOMPARE(c.dialogs.chosen.size(), 1);
            QVERIFY(!c.window.isVisible());
        }
    }

    // A host typed with its port is taken apart: the page comes from that port, and the project is
    // saved under a name that holds it.
    void hostWithPortIsTakenApart() {
        LoopbackHttp http;
        http.put("/wetter.html", kPage);
        Checker c;
        c.click("neubtn");
        c.analyse(http);
        const QString port = http.address("").section(u':', 1);
        QCOMPARE(c.edit("WAHOST")->text(), u"127.0.0.1"_qs);
        QCOMPARE(c.edit("WAPORT")->text(), port);
        QCOMPARE(c.browser->navigations, QStringList{http.address("/wetter.html")});
        c.click("savebtn");
        QVERIFY(c.dialogs.texts(FakeDialogs::Kind::Error).isEmpty());
        const QByteArray file = c.folder.read(u"Wetter-127.0.0.1_%1-qnd.ovw"_qs.arg(port));
        QVERIFY(file.contains("WAHOST=127.0.0.1\r\n"));
        QVERIFY(file.contains("WAPORT=" + port.toLatin1() + "\r\n"));
    }

    void closeYesSavesTheProject() {
        Checker c;
        c.click("neubtn");
        c.fill(u"Wetter"_qs, u"h"_qs, u"/w.html"_qs);
        c.dialogs.choices = {Dialogs::Choice::Yes};
        c.window.close();
        QVERIFY(!c.window.isVisible());
        QVERIFY(c.folder.read(u"Wetter-h-qnd.ovw"_qs).contains("WASITE=/w.html"));
        QVERIFY(c.tabShown(u"Webabfragen"_qs));
    }

    void projectFieldsOfferTheirText_data() {
        QTest::addColumn<QString>("field");
        for (const char *field : {"WABez", "WAHOST", "WAPORT", "WASITE"})
            QTest::newRow(field) << QString::fromLatin1(field);
    }

    // After a change, a click into a project field selects what it holds, ready to be typed over.
    void projectFieldsOfferTheirText() {
        QFETCH(QString, field);
        Checker c;
        c.click("neubtn");
        c.fill(u"Wetter"_qs, u"wetter.test"_qs, u"/wetter.html"_qs);
        c.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&c.window));
        c.find<QPushButton>("savebtn")->setFocus();
        QLineEdit *edit = c.edit(qPrintable(field));
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
        QVERIFY(edit->hasFocus());
        QVERIFY(!edit->text().isEmpty());
        QCOMPARE(edit->selectedText(), edit->text());
    }

    void analysisOfTheLoadedPage() {
        LoopbackHttp http;
        http.put("/wetter.html", kPage);
        Checker c;
        c.find<QCheckBox>("mlinks")->setChecked(true);
        c.analyse(http);
        QCOMPARE(c.browser->navigations, QStringList{http.address("/wetter.html")});
        const QByteArray source = PageSource::fromDocument(kPage);
        QCOMPARE(c.window.pageSource(), source);
        QStringList values;
        const QAbstractItemModel *model = c.find<QAbstractItemView>("Liste")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            values.append(model->index(row, 0).data().toString() + u'@' + model->index(row, 1).data().toString());
        const auto at = [&](const char *text) {
            return QString::number(source.indexOf(text) + 1);
        };
        QCOMPARE(values,
                 (QStringList{u"Wetter@"_qs + at("Wetter"), u"Temperatur@"_qs + at("Temperatur"),
                              u"21 Grad@"_qs + at("21 Grad"), u"Wind@"_qs + at("Wind"), u"12 km/h@"_qs + at("12 km/h"),
                              u"/morgen.html@"_qs + at("/morgen"), u"morgen@"_qs + at("morgen<")}));
        QVERIFY(!c.find<QProgressBar>("progbar")->isVisible());
        QVERIFY(c.find<QPushButton>("analysebtn")->isEnabled());
    }

    void analysisCancelledEndsWithFertig_data() {
        QTest::addColumn<int>("rowsBeforeCancel"); // 0: cancelled while the source is fetched
        QTest::newRow("while fetching") << 0;
        QTest::newRow("while scanning") << 1;
    }

    void analysisCancelledEndsWithFertig() {
        QFETCH(int, rowsBeforeCancel);
        QByteArray big;
        while (big.size() < 4 * 1024 * 1024)
            big += "<tr><td>Station</td><td>21 Grad</td></tr>\n";
        LoopbackHttp http;
        http.put("/gross.html", big);
        Checker c;
        c.fill(u"Gross"_qs, http.address(""), u"/gross.html"_qs);
        c.click("gobrowser");
        QTRY_VERIFY(c.find<QPushButton>("analysebtn")->isEnabled());
        c.click("analysebtn");
        // The first slice's rows arrive; the cancel comes before the next slice.
        QSignalSpy inserted(c.find<QAbstractItemView>("Liste")->model(), &QAbstractItemModel::rowsInserted);
        if (rowsBeforeCancel > 0)
            QVERIFY(inserted.wait());
        c.click("sbanalyseabr");
        QTRY_COMPARE(c.find<QLabel>("statustext")->text(), u"Fertig!"_qs);
        const int rows = c.rows();
        QVERIFY(rows >= rowsBeforeCancel);
        QVERIFY(rows < big.count("<td>")); // the scan did not run to the end
        QVERIFY(!c.find<QProgressBar>("progbar")->isVisible());
        QVERIFY(c.dialogs.boxes.isEmpty());
        QVERIFY(c.find<QPushButton>("analysebtn")->isEnabled());
    }

    void analysisOfAPageThatCannotBeFetched() {
        LoopbackHttp http;
        Checker c;
        c.fill(u"Wetter"_qs, http.address(""), u"/fehlt.html"_qs);
        c.click("gobrowser");
        QTRY_VERIFY(c.find<QPushButton>("analysebtn")->isEnabled());
        c.click("analysebtn");
        QTRY_COMPARE(c.find<QLabel>("statustext")->text(), u"Fertig!"_qs);
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(c.dialogs.texts(FakeDialogs::Kind::Error).first().contains(u"/fehlt.html"_qs));
        QCOMPARE(c.rows(), 0);
    }

    void navigationAsksBeforeTheAnalysisGoes_data() {
        QTest::addColumn<bool>("clickedLink");
        QTest::addColumn<bool>("answer");
        QTest::newRow("load button, OK") << false << true;
        QTest::newRow("load button, Cancel") << false << false;
        QTest::newRow("clicked link, OK") << true << true;
        QTest::newRow("clicked link, Cancel") << true << false;
    }

    void navigationAsksBeforeTheAnalysisGoes() {
        QFETCH(bool, clickedLink);
        QFETCH(bool, answer);
        LoopbackHttp http;
        http.put("/wetter.html", kPage);
        Checker c;
        c.analyse(http);
        const int rows = c.rows();
        QVERIFY(rows > 0);
        c.dialogs.answers = {answer};
        if (clickedLink)
            c.browser->requestNavigation(http.url("/morgen.html"));
        else
            c.click("gobrowser");
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{u"Analyse löschen?"_qs});
        QCOMPARE(c.browser->navigations.size(), answer ? 2 : 1);
        QCOMPARE(c.rows(), answer ? 0 : rows);
        QCOMPARE(c.find<QPushButton>("analysebtn")->isEnabled(), !answer);
        // With an empty list nothing is asked.
        if (answer) {
            c.browser->requestNavigation(http.url("/wetter.html"));
            QCOMPARE(c.dialogs.boxes.size(), 1);
            QCOMPARE(c.browser->navigations.size(), 3);
        }
    }

    void framesNotice() {
        Checker c;
        c.browser->frames = {u"http://h/dir/f.html"_qs, u"http://h"_qs};
        c.click("gobrowser");
        auto *panel = c.find<QFrame>("framepanel");
        QTRY_VERIFY(panel->isVisible());
        auto *list = c.find<QListWidget>("lbframes");
        QCOMPARE(list->count(), 2);
        doubleClick(list, 0);
        QCOMPARE(c.edit("WASITE")->text(), u"/dir/f.html"_qs);
        QCOMPARE(c.browser->navigations.last(), u"http://h/dir/f.html"_qs);
        QVERIFY(!panel->isVisible());
        // An entry without a path after the host empties the site.
        QTRY_VERIFY(panel->isVisible());
        doubleClick(list, 1);
        QCOMPARE(c.edit("WASITE")->text(), QString());
    }

    void sourceViewShowsThePageSource() {
        LoopbackHttp http;
        http.put("/wetter.html", kPage);
        Checker c;
        auto *view = c.find<QPlainTextEdit>("quelltext");
        c.analyse(http);
        QVERIFY(!view->isVisible());
        c.click("quelltextbtn");
        QVERIFY(view->isVisible());
        const QString text = PageSource::viewText(PageSource::fromDocument(kPage));
        // The view keeps its own line ends; the characters between them are the source's.
        QCOMPARE(view->toPlainText().remove(u'\r').remove(u'\n'), QString(text).remove(u'\r').remove(u'\n'));
        c.click("quelltextbtn");
        QVERIFY(!view->isVisible());
        // A new analysis while the view is shown fills it again.
        c.click("quelltextbtn");
        c.click("analysebtn");
        QVERIFY(view->toPlainText().isEmpty());
        QTRY_VERIFY(!view->toPlainText().isEmpty());
    }

    // The list's columns without a caption still tell a screen reader what they hold; the
    // captions shown stay as they are.
    void analysisColumnsAreNamed() {
        Checker c;
        auto *list = c.find<QAbstractItemView>("Liste");
        const QAbstractItemModel *model = list->model();
        QStringList shown;
        for (int column = 0; column < model->columnCount(); ++column)
            shown << model->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(shown, (QStringList{u"Wert"_qs, u"Pos."_qs, {}, {}, {}, {}, {}, {}, {}}));
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(list);
        QStringList headers;
        for (int i = 0; i < table->childCount(); ++i)
            if (table->child(i)->role() == QAccessible::ColumnHeader)
                headers << table->child(i)->text(QAccessible::Name);
        QCOMPARE(headers, (QStringList{u"Wert"_qs, u"Position"_qs, u"Ende"_qs, u"Werttyp"_qs, u"Liste"_qs,
                                       u"Umrechnung"_qs, u"Definition"_qs, u"KO-Typ"_qs, u"KO-Name"_qs}));
    }
};

QTEST_MAIN(TestWebCheckWindow)
#include "tst_webcheck_window.moc"

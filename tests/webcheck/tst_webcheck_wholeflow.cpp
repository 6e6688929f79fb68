// The checker's whole flow as a user goes through it, against the simulator's weather page on the
// simulator's free web port: New, load, analyse, define two values, Save, Export, Check. Every step
// is a click or a key on the window's named widgets; what counts is the import file's bytes and the
// rows the check shows. The page comes from host:port, as the server fetches it, and its
// Windows-1252 text ("21,5 °C") arrives as such in the analysis.
#include "CheckerFixture.h"
#include "OvsimProcess.h"
#include "WidgetDriving.h"

#include <QTabBar>

namespace {
// Generous: the suite runs two tests at a time on two cores, and the folder views read on a thread.
constexpr int kWaitMs = 30000;

// A click into a field, all of its text selected, then the text typed over it; "\n" is Enter.
void typeInto(QWidget *field, const QString &text) {
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, lines[i]);
    }
}

// Ticks the analysis row of `value` as a user does: a click on the row, then the space bar.
void tick(QAbstractItemView *list, const QString &value) {
    const int row = rowOf(list, value);
    QVERIFY2(row >= 0, qPrintable(value));
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(index.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

void clickTab(QTabWidget *tabs, const char *page) {
    const int index = tabs->indexOf(tabs->findChild<QWidget *>(QLatin1String(page)));
    QVERIFY(index >= 0 && tabs->isTabVisible(index));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
    QCOMPARE(tabs->currentIndex(), index);
}

void clickItem(QAbstractItemView *view, const QModelIndex &index) {
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// Defines the ticked value on the tab "Neu": the object's type and name, "Erstellen", "OK".
void defineObject(Checker &c, const QString &type, const QString &name) {
    QCOMPARE(c.tabs()->currentWidget()->objectName(), u"neutab"_qs);
    WidgetDriving::choose(c.find<QComboBox>("kotyp"), type);
    typeInto(c.edit("kobez"), name);
    c.click("addKO");
    c.click("okbtn");
    QVERIFY(!c.tabShown(u"Neu"_qs));
}

// A search text as the import file writes it.
QString hex(const QByteArray &text) {
    return QString::fromLatin1(text.toHex().toUpper());
}
} // namespace

class TestWebCheckWholeFlow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }

    void newLoadAnalyseDefineSaveExportCheck() {
        const QString port = QString::number(m_server.webPort());
        Checker c;

        // Daten: a new project on the simulator's page, the host typed with its port.
        c.click("neubtn");
        typeInto(c.edit("WABez"), u"Wetter"_qs);
        typeInto(c.edit("WAHOST"), u"127.0.0.1:"_qs + port);
        typeInto(c.edit("WASITE"), u"/wetter.html"_qs);
        c.click("gobrowser");
        QCOMPARE(c.edit("WAHOST")->text(), u"127.0.0.1"_qs);
        QCOMPARE(c.edit("WAPORT")->text(), port);
        QCOMPARE(c.browser->navigations, QStringList{u"127.0.0.1:%1/wetter.html"_qs.arg(port)});

        // Browser: the page analysed; two of its values defined.
        auto *analyse = c.find<QPushButton>("analysebtn");
        QTRY_VERIFY_WITH_TIMEOUT(analyse->isEnabled(), kWaitMs);
        QTest::mouseClick(analyse, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(c.find<QLabel>("statustext")->text(), u"Fertig!"_qs, kWaitMs);
        auto *list = c.find<QAbstractItemView>("Liste");
        tick(list, u"21,5 °C"_qs);
        defineObject(c, u"EIS5_16BIT"_qs, u"Temperatur"_qs);
        tick(list, u"Heiter"_qs);
        WidgetDriving::choose(c.find<QComboBox>("werttyp"), u"Text aus einer vordefinierten Liste"_qs);
        typeInto(c.find<QPlainTextEdit>("wertliste"), u"Heiter\nRegen"_qs);
        defineObject(c, u"EIS1+EIS2+EIS7_1BIT"_qs, u"Vorhersage"_qs);
        // The helpers' checks end only themselves: stop here rather than wait for what cannot come.
        if (QTest::currentTestFailed())
            return;

        // Save: the project's name holds the port; it is listed on "Daten".
        c.click("savebtn");
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error), QStringList());
        const QString project = u"Wetter-127.0.0.1_%1-qnd.ovw"_qs.arg(port);
        QVERIFY(QFile::exists(c.folder.file(project)));

        // Export: the import file names the port, and its search texts are the page's own bytes.
        auto *projects = c.find<QListWidget>("projektliste");
        const auto items = projects->findItems(project, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        clickItem(projects, projects->indexFromItem(items.first()));
        c.click("exportbtn");
        QTRY_COMPARE_WITH_TIMEOUT(c.find<QLabel>("exportlb")->text(), u"Fertig!"_qs, kWaitMs);
        const QString importFile = c.folder.file(u"Wetter-qnd.htip"_qs);
        QCOMPARE(c.find<QLabel>("exportdatei")->text(),
                 u"Importdatei gespeichert: "_qs + QDir::toNativeSeparators(importFile));
        const QString cmd = uR"(22701|2|<?CMD CMD="CHGID" OLDID="123" ?>|0||)"_qs;
        const QString next = cmd + u"0|0|0|0|0|0|0"_qs;
        const auto search = [&cmd](const QByteArray &text) {
            return cmd + u"2|"_qs + hex(text) + u"|0|0|0|0|0"_qs;
        };
        const QStringList expected{
            u"IMPORT:IPBIDIR,VERSION:1.0"_qs, u"PROJ:7f3c9e21d04b5a86c2e1f09b3d7a4c58"_qs, u"LIB:NO"_qs,
            uR"(22700|<?CMD CMD="ID" OLDID="123" ?>|0|0|Wetter|127.0.0.1|)"_qs + port +
                u"|1||/wetter.html||0|||0|0||0|0"_qs,
            next, search("d><td>"),
            cmd + uR"(4|0|<?OBJ TYPE="11001" ID="124" TEXT="Temperatur" FMT="03" ?>|0|0|0|0)"_qs, search("</t"), next,
            // "Luftfeuchte</td><td>" comes first: the second search reaches "Vorhersage</td><td>".
            search("e</td><td>"), next, search("e</td><td>"),
            cmd + u"6|"_qs + hex("Heiter\r\nRegen\r\n") +
                uR"(|<?OBJ TYPE="11001" ID="124" TEXT="Vorhersage" FMT="00" ?>|0|0|0|0)"_qs,
            search("</t"), next,
            QString(), // the last line ends with CR LF too
        };
        QCOMPARE(QString::fromLatin1(c.folder.read(u"Wetter-qnd.htip"_qs)).split(u"\r\n"_qs), expected);

        // Webabfragen prüfen: the import file chosen in the program folder and checked against the page.
        clickTab(c.tabs(), "prueftab");
        if (QTest::currentTestFailed())
            return;
        auto *files = c.find<QListView>("TeShellListView1");
        QTRY_COMPARE_WITH_TIMEOUT(files->model()->rowCount(files->rootIndex()), 1, kWaitMs);
        clickItem(files, files->model()->index(0, 0, files->rootIndex()));
        QCOMPARE(files->currentIndex().data().toString(), u"Wetter-qnd.htip"_qs);
        c.click("pruefbtn");
        auto *status = c.find<QLabel>("pruefstatus");
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), u"Fertig! 5 Suchtexte, davon 0 nicht gefunden (FEHLER)."_qs, kWaitMs);
        QCOMPARE(c.find<QLabel>("bezlb")->text(), u"Bezeichnung: Wetter"_qs);
        QCOMPARE(c.find<QLabel>("sitelb")->text(), u"Website: 127.0.0.1/wetter.html"_qs);
        QCOMPARE(c.find<QLabel>("portlb")->text(), u"Port: "_qs + port);
        auto *rows = c.find<QTreeWidget>("waliste");
        // The object rows as "KO Bezeichnung|Wert|Typ": each shows its value's first five characters.
        QStringList objects;
        for (int i = 0; i < rows->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *row = rows->topLevelItem(i);
            if (!row->text(0).isEmpty())
                objects.append(row->text(0) + u'|' + row->text(1) + u'|' + row->text(2));
        }
        QCOMPARE(objects, (QStringList{u"Temperatur|21,5 |4"_qs, u"Vorhersage|Heite|6"_qs}));
        // Load, export and check each went to the page on its port, and no box interrupted the user.
        const QString page = u"127.0.0.1:%1/wetter.html"_qs.arg(port);
        QCOMPARE(c.browser->navigations, (QStringList{page, page, page}));
        QCOMPARE(c.dialogs.boxes.size(), 0);
    }

private:
    OvsimProcess m_server;
};

QTEST_MAIN(TestWebCheckWholeFlow)
#include "tst_webcheck_wholeflow.moc"

#include "FakeBrowserHost.h"
#include "FakeDialogs.h"
#include "LoopbackHttp.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "TempProgramFolder.h"
#include "WebCheckWindow.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

namespace {
// The shared fake with the Yes/No/Cancel question answered from a script of its own.
class CheckerDialogs : public FakeDialogs {
public:
    // The next scripted choice; Cancel when the script is used up.
    Choice choose(const QString &text) override {
        chosen.append(text);
        return choices.isEmpty() ? Choice::Cancel : choices.takeFirst();
    }

    QStringList chosen;
    QList<Choice> choices;
};

const QByteArray kPage = "<html><body><h1>Wetter</h1>\n<table>\n\t<tr><td>Temperatur</td><td>21 Grad</td></tr>\n"
                         "<tr><td>Wind</td><td>12 km/h</td></tr></table><a href=\"/morgen.html\">morgen</a>";

struct Checker {
    Checker()
        : window(folder.path(), dialogs, nullptr, [this] {
              auto host = std::make_unique<FakeBrowserHost>();
              browser = host.get();
              return host;
          }) {
        window.open();
    }

    template <typename T> T *find(const char *name) {
        T *child = window.findChild<T *>(QLatin1String(name));
        if (!child)
            qFatal("no widget %s", name);
        return child;
    }
    QLineEdit *edit(const char *name) { return find<QLineEdit>(name); }
    void click(const char *name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    int rows() { return find<QTreeView>("Liste")->model()->rowCount(); }
    QTabWidget *tabs() { return window.findChild<QTabWidget *>(); }
    bool tabShown(const QString &prefix) {
        for (int i = 0; i < tabs()->count(); ++i)
            if (tabs()->tabText(i).startsWith(prefix))
                return tabs()->isTabVisible(i);
        return false;
    }
    void selectProject(const QString &name) {
        auto *list = find<QListWidget>("projektliste");
        const auto items = list->findItems(name, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        list->setCurrentItem(items.first());
    }
    void fill(const QString &bez, const QString &host, const QString &site) {
        edit("WABez")->setText(bez);
        edit("WAHOST")->setText(host);
        edit("WASITE")->setText(site);
    }
    // Loads the page with "Website laden" and analyses it.
    void analyse(LoopbackHttp &http) {
        fill(u"Wetter"_qs, http.address(""), u"/wetter.html"_qs);
        click("gobrowser");
        QTRY_VERIFY(find<QPushButton>("analysebtn")->isEnabled());
        click("analysebtn");
        QTRY_COMPARE(find<QLabel>("statustext")->text(), u"Fertig!"_qs);
    }

    TempProgramFolder folder;
    CheckerDialogs dialogs;
    FakeBrowserHost *browser = nullptr;
    WebCheckWindow window;
};

void doubleClick(QListWidget *list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void writeProject(const TempProgramFolder &folder, const QString &name, int rows) {
    WebQueryProject project{u"Wetter"_qs, u"h"_qs, u"80"_qs, u"/w.html"_qs, {}};
    for (int j = 0; j < rows; ++j) {
        AnalysisEntry entry;
        entry.value = u"Wert %1"_qs.arg(j);
        entry.start = QString::number(10 * j + 1);
        entry.end = QString::number(10 * j + 5);
        entry.koName = u"KO %1"_qs.arg(j);
        project.entries.append(entry);
    }
    QString error;
    QVERIFY(ProjectFile::save(folder.path(), project, &error));
    QVERIFY(QFile::exists(folder.file(name)));
}

const QByteArray kFlowPage =
    "<table><tr><td>Temperatur</td><td>21</td></tr><tr><td>Zustand</td><td>Sonnig</td></tr></table>";

// The row of the analysis list whose value is `value`.
int rowOf(QTreeView *list, const QString &value) {
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 0).data().toString() == value)
            return row;
    return -1;
}

void setChecked(QTreeView *list, int row) {
    list->model()->setData(list->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
}

// A column of the analysis list's row: 0 the value, 1 the start, 2 the end, 3 to 9 fields 5 to 10.
QString cell(QTreeView *list, int row, int column) {
    return list->model()->index(row, column).data().toString();
}
} // namespace

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
        QCOMPARE(c.find<QTreeView>("Liste")->model()->index(1, 0).data().toString(), u"Wert 1"_qs);
        QVERIFY(c.find<QPushButton>("savebtn")->isEnabled());
        QVERIFY(!c.find<QPushButton>("openbtn")->isEnabled());
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
        // The host holds a ":" before the port, which a Windows file name forbids.
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
        c.dialogs.choices = {choice};
        c.window.close();
        QCOMPARE(c.dialogs.chosen, QStringList{u"Aktuelles Projekt noch nicht gespeichert!\rProjekt speichern?"_qs});
        QCOMPARE(c.window.isVisible(), staysOpen);
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), errors);
        QCOMPARE(c.rows() > 0, keepsProject);
        QCOMPARE(c.find<QPushButton>("savebtn")->isEnabled(), keepsProject);
        QCOMPARE(c.edit("WABez")->text(),
                 keepsProject ? u"Wetter"_qs : u"Bezeichnung - für Speicherung des Projektes"_qs);
        QCOMPARE(c.tabShown(u"Webabfragen"_qs), choice != Dialogs::Choice::Cancel);
        // Closing without an edited project asks nothing.
        if (!keepsProject) {
            c.window.open();
            c.window.close();
            QCOMPARE(c.dialogs.chosen.size(), 1);
            QVERIFY(!c.window.isVisible());
        }
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
        const QAbstractItemModel *model = c.find<QTreeView>("Liste")->model();
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
        QSignalSpy inserted(c.find<QTreeView>("Liste")->model(), &QAbstractItemModel::rowsInserted);
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
    // A checked row opens the tab "Neu"; the trims change the entry at once, Abbruch keeps them.
    void definitionTrimsAndAbbruch() {
        LoopbackHttp http;
        http.put("/wetter.html", kFlowPage);
        Checker c;
        c.analyse(http);
        auto *list = c.find<QTreeView>("Liste");
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
        setChecked(c.find<QTreeView>("Liste"), 0);
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
        setChecked(c.find<QTreeView>("Liste"), 0);
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
        QVERIFY(c.folder.write(u"W-wetter.test-qnd.ovw"_qs, "[OVWCHead]\r\n" + head +
                                                                "\r\nWAHOST=wetter.test\r\nWASITE=/w.html\r\n"
                                                                "ANZAHL=1\r\n[OVWC]\r\n" +
                                                                row + "\r\nANH-0=4|0|03|T|\r\nANJ-0=T\r\n"));
        if (folderInTheWay)
            QVERIFY(QDir().mkdir(c.folder.file(u"W-qnd.htip"_qs)));
        c.window.close();
        c.window.open();
        c.selectProject(u"W-wetter.test-qnd.ovw"_qs);
        c.click("exportbtn");
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
        QVERIFY(c.folder.write(u"W-wetter.test-qnd.ovw"_qs,
                               "[OVWCHead]\r\n" + head + "\r\nWAHOST=wetter.test\r\nWASITE=" + site +
                                   "\r\nANZAHL=1\r\n[OVWC]\r\n" + row + "\r\nANH-0=4|0|03|T|\r\nANJ-0=T\r\n"));
        c.window.close();
        c.window.open();
        c.selectProject(u"W-wetter.test-qnd.ovw"_qs);
        c.click("exportbtn");
        QTRY_COMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QTRY_COMPARE(c.find<QLabel>("exportlb")->text(), u"Export fehlgeschlagen"_qs);
        QCOMPARE(c.find<QProgressBar>("exportbar")->value(), 0);
        QCOMPARE(QDir(c.folder.path()).entryList({u"*.htip"_qs}, QDir::Files), QStringList());
    }

    // The list's columns without a caption still tell a screen reader what they hold; the
    // captions shown stay as they are.
    void analysisColumnsAreNamed() {
        Checker c;
        auto *list = c.find<QTreeView>("Liste");
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

    void checkOfAShortFileNamesIt() {
        Checker c;
        QVERIFY(c.folder.write(u"kurz-qnd.htip"_qs, "IMPORT:IPBIDIR,VERSION:1.0\r\n"));
        c.window.close();
        c.window.open();
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
        auto *list = c.find<QTreeView>("Liste");

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

        QVERIFY(c.tabShown(u"Webabfragen"_qs));
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
        // The last hit's five characters are selected in the source view.
        QCOMPARE(c.find<QPlainTextEdit>("quelltext")->textCursor().selectedText(), u"d></t"_qs);
    }
};

QTEST_MAIN(TestWebCheckWindow)
#include "tst_webcheck_window.moc"

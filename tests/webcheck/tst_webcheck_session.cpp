// The checker's page session without widgets: its jobs over a fake browser and a loopback web server.
#include "AnalysisListModel.h"
#include "FakeBrowserHost.h"
#include "FakeDialogs.h"
#include "LoopbackHttp.h"
#include "PageAnalysis.h"
#include "PageSession.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "TempProgramFolder.h"
#include "WebQueryExport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {
using Job = PageSession::Job;
using Step = PageSession::Step;

const QByteArray kPage = "<table><tr><td>Temperatur</td><td>21</td></tr></table>";

struct Session {
    Session()
        : session(folder.path(), dialogs, [this] {
              auto host = std::make_unique<FakeBrowserHost>();
              browser = host.get();
              return host;
          }) {
        QObject::connect(&session, &PageSession::stateChanged, &session, [this] {
            const QString state = u"%1/%2"_qs.arg(int(session.job())).arg(int(session.step()));
            if (states.isEmpty() || states.last() != state)
                states.append(state);
        });
        QObject::connect(&session, &PageSession::exportStatus, &session,
                         [this](const QString &text) { exportTexts.append(text); });
        session.ensureBrowser();
        // The project's host stands for the loopback server.
        browser->servers.insert(u"wetter.test"_qs, QUrl(http.url("")));
        http.put("/w.html", kPage);
    }

    void loadAndAnalyse(const QString &address) {
        QVERIFY(session.load(address));
        QTRY_VERIFY(session.canAnalyse());
        session.startAnalysis();
        QTRY_COMPARE(session.job(), Job::None);
    }
    // A project of the page with the temperature defined, saved as "W-wetter.test-qnd.ovw".
    void saveProject(const QByteArray &site = "/w.html") {
        AnalysisEntry temperature;
        temperature.value = u"21"_qs;
        temperature.start = QString::number(kPage.indexOf(">21<") + 2);
        temperature.end = QString::number(kPage.indexOf(">21<") + 3);
        temperature.definition = u"4|0|03|Temp|"_qs;
        temperature.koName = u"Temp"_qs;
        QString error;
        QVERIFY(ProjectFile::save(
            folder.path(), {u"W"_qs, u"wetter.test"_qs, u"80"_qs, QString::fromLatin1(site), {temperature}}, &error));
    }

    TempProgramFolder folder;
    FakeDialogs dialogs;
    LoopbackHttp http;
    FakeBrowserHost *browser = nullptr;
    PageSession session;
    QStringList states;      // "job/step" as the session went through them
    QStringList exportTexts; // what the export line said
};

QString state(Job job, Step step = Step::None) {
    return u"%1/%2"_qs.arg(int(job)).arg(int(step));
}
} // namespace

class TestWebCheckSession : public QObject {
    Q_OBJECT

private slots:
    // Each job waits for what it needs, one step after the other, and ends.
    void jobsGoThroughTheirSteps_data() {
        QTest::addColumn<Job>("job");
        QTest::addColumn<QStringList>("states");
        const QString none = state(Job::None);
        QTest::newRow("opening") << Job::Opening << QStringList{state(Job::Opening, Step::Document), none};
        QTest::newRow("analysis") << Job::Analysis
                                  << QStringList{state(Job::Analysis, Step::Source), state(Job::Analysis, Step::Scan),
                                                 none};
        QTest::newRow("export") << Job::Export
                                << QStringList{state(Job::Export, Step::Document), state(Job::Export, Step::Source),
                                               none};
        QTest::newRow("check") << Job::Check
                               << QStringList{state(Job::Check, Step::Document), state(Job::Check, Step::Source), none};
    }
    void jobsGoThroughTheirSteps() {
        QFETCH(Job, job);
        QFETCH(QStringList, states);
        Session s;
        s.saveProject();
        QVERIFY(s.session.load(s.http.address("/w.html")));
        QTRY_VERIFY(s.session.canAnalyse());
        QString importFile;
        if (job == Job::Check) {
            QSignalSpy ended(&s.session, &PageSession::exportEnded);
            s.session.startExport(u"W-wetter.test-qnd.ovw"_qs);
            QTRY_COMPARE(ended.size(), 1);
            importFile = ended.first().first().toString();
        }
        s.states.clear();
        switch (job) {
        case Job::Opening:
            QVERIFY(s.session.openProject(u"W-wetter.test-qnd.ovw"_qs));
            break;
        case Job::Analysis:
            s.session.startAnalysis();
            break;
        case Job::Export:
            s.session.startExport(u"W-wetter.test-qnd.ovw"_qs);
            break;
        case Job::Check:
            s.session.startCheck(importFile);
            break;
        case Job::None:
            break;
        }
        QTRY_COMPARE(s.session.job(), Job::None);
        QCOMPARE(s.states, states);
        QVERIFY(s.dialogs.boxes.isEmpty());
        QVERIFY(s.session.canAnalyse());
    }

    // The analysis ends with "Fertig!"; one that stopped at the most rows a list holds says so.
    void analysisSaysHowItEnded_data() {
        QTest::addColumn<int>("values");
        QTest::addColumn<QString>("status");
        QTest::newRow("whole page") << 3 << u"Fertig!"_qs;
        QTest::newRow("more values than a list holds")
            << ProjectFile::kMaxEntries + 5
            << u"Fertig! Abgebrochen bei 100.000 Werten: Mehr fasst die Liste nicht."_qs;
    }
    void analysisSaysHowItEnded() {
        QFETCH(int, values);
        QFETCH(QString, status);
        Session s;
        s.http.put("/viele.html", QByteArray("<b>a").repeated(values) + "<");
        QSignalSpy ended(&s.session, &PageSession::analysisEnded);
        s.loadAndAnalyse(s.http.address("/viele.html"));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first().first().toString(), status);
        QCOMPARE(s.session.rows().rowCount(), std::min(values, ProjectFile::kMaxEntries));
    }

    // A page scanned over many slices and turns gives the list the rows the whole analysis finds
    // at once, in order; a row changed afterwards is that row alone, wherever the turns left it.
    void analysisInTurnsListsTheWholeAnalysis() {
        Session s;
        QByteArray page;
        for (int i = 0; i < 40000; ++i)
            page += "<td>Wert " + QByteArray::number(i) + "</td><a href=\"/s/" + QByteArray::number(i) + "\">";
        s.http.put("/lang.html", page);
        const ScanOptions options{true, false, true};
        s.session.setScanOptions(options);
        QSignalSpy inserted(&s.session.rows(), &QAbstractItemModel::rowsInserted);
        s.loadAndAnalyse(s.http.address("/lang.html"));
        const QList<AnalysisEntry> expected = analysePage(PageSource::fromDocument(page), options);
        QVERIFY(inserted.size() > 2);
        QCOMPARE(s.session.rows().entries(), expected);
        const int rows = s.session.rows().rowCount();
        for (const QList<QVariant> &insertion : inserted) {
            const int first = insertion.at(1).toInt();
            AnalysisEntry changed = expected.at(first);
            changed.koName = u"KO"_qs;
            s.session.setEntry(first, changed);
            QCOMPARE(s.session.rows().entry(first), changed);
            if (first > 0)
                QCOMPARE(s.session.rows().entry(first - 1).koName, QString());
            QCOMPARE(s.session.rows().index(first, 0).data().toString(), expected.at(first).value);
        }
        QCOMPARE(s.session.rows().rowCount(), rows);
    }

    // Opening shows the project's texts at once and its rows once its page has completed.
    void openingAppendsTheRowsWhenThePageCompletes() {
        Session s;
        s.saveProject();
        QSignalSpy read(&s.session, &PageSession::projectRead);
        QSignalSpy opened(&s.session, &PageSession::projectOpened);
        QVERIFY(s.session.openProject(u"W-wetter.test-qnd.ovw"_qs));
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first().first().value<WebQueryProject>().host, u"wetter.test"_qs);
        QCOMPARE(s.browser->navigations, QStringList{u"wetter.test/w.html"_qs});
        QCOMPARE(s.session.rows().rowCount(), 0);
        QVERIFY(opened.wait());
        QCOMPARE(s.session.rows().entries().first().koName, u"Temp"_qs);
    }

    // A navigation takes the document whose source a job is waiting for: the job ends and says so.
    void navigationEndsTheJobWaitingForTheSource_data() {
        QTest::addColumn<Job>("job");
        QTest::addColumn<QStringList>("exportTexts");
        QTest::newRow("analysis") << Job::Analysis << QStringList();
        QTest::newRow("export") << Job::Export
                                << QStringList{u"Starte Export ..."_qs, u"Lade Quelltext ..."_qs,
                                               u"Export abgebrochen"_qs};
    }
    void navigationEndsTheJobWaitingForTheSource() {
        QFETCH(Job, job);
        QFETCH(QStringList, exportTexts);
        Session s;
        QTcpServer silent; // takes the source's request and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        s.browser->servers.insert(u"wetter.test"_qs, QUrl(u"http://127.0.0.1:%1"_qs.arg(silent.serverPort())));
        s.saveProject();
        QVERIFY(s.session.load(u"wetter.test/w.html"_qs));
        QTRY_VERIFY(s.session.canAnalyse());
        QSignalSpy analysisEnded(&s.session, &PageSession::analysisEnded);
        QSignalSpy exportEnded(&s.session, &PageSession::exportEnded);
        if (job == Job::Analysis)
            s.session.startAnalysis();
        else
            s.session.startExport(u"W-wetter.test-qnd.ovw"_qs);
        QTRY_COMPARE(s.session.step(), Step::Source);
        s.browser->requestNavigation(u"http://wetter.test/anders.html"_qs);
        QCOMPARE(s.session.job(), Job::None);
        QCOMPARE(analysisEnded.size(), job == Job::Analysis ? 1 : 0);
        QCOMPARE(exportEnded.size(), job == Job::Export ? 1 : 0);
        if (job == Job::Export)
            QVERIFY(exportEnded.first().first().toString().isEmpty());
        QCOMPARE(s.exportTexts, exportTexts);
        QVERIFY(s.dialogs.boxes.isEmpty());
    }

    // The export names the file it wrote, or ends with no file and says so.
    void exportEnds_data() {
        QTest::addColumn<QByteArray>("site");
        QTest::addColumn<QString>("lastText");
        QTest::addColumn<bool>("written");
        QTest::newRow("written") << QByteArray("/w.html") << u"Fertig!"_qs << true;
        QTest::newRow("page missing") << QByteArray("/fehlt.html") << u"Export fehlgeschlagen"_qs << false;
    }
    void exportEnds() {
        QFETCH(QByteArray, site);
        QFETCH(QString, lastText);
        QFETCH(bool, written);
        Session s;
        s.saveProject(site);
        QSignalSpy ended(&s.session, &PageSession::exportEnded);
        QSignalSpy progress(&s.session, &PageSession::exportProgress);
        s.session.startExport(u"W-wetter.test-qnd.ovw"_qs);
        QVERIFY(ended.wait());
        QCOMPARE(ended.first().first().toString(), written ? s.folder.file(u"W-qnd.htip"_qs) : QString());
        QCOMPARE(QFile::exists(s.folder.file(u"W-qnd.htip"_qs)), written);
        QCOMPARE(s.exportTexts.last(), lastText);
        QCOMPARE(progress.last().first().toInt(), written ? 100 : 0);
        QCOMPARE(s.dialogs.texts(FakeDialogs::Kind::Error).size(), written ? 0 : 1);
    }

    // A list the user keeps holds the document: nothing navigates, and an export goes on with the
    // document already there.
    void keptListKeepsTheDocument() {
        Session s;
        s.loadAndAnalyse(s.http.address("/w.html"));
        const int rows = s.session.rows().rowCount();
        QVERIFY(rows > 0);
        s.dialogs.answers = {false, false};
        QVERIFY(!s.session.load(u"wetter.test/anders.html"_qs));
        s.saveProject();
        QSignalSpy ended(&s.session, &PageSession::exportEnded);
        s.session.startExport(u"W-wetter.test-qnd.ovw"_qs);
        QVERIFY(ended.wait());
        QCOMPARE(s.dialogs.texts(FakeDialogs::Kind::Confirm),
                 (QStringList{u"Analyse löschen?"_qs, u"Analyse löschen?"_qs}));
        QCOMPARE(s.browser->navigations, QStringList{s.http.address("/w.html")});
        QCOMPARE(s.session.rows().rowCount(), rows);
        QVERIFY(!ended.first().first().toString().isEmpty());
    }

    // A check shows what the searches lead to and says how it ended; a file too short to name a
    // page loads nothing, and a check the user left by loading another page says so where it stood.
    void checkSaysHowItEnded_data() {
        QTest::addColumn<QByteArray>("site");        // of the page the import file names; empty: a short file
        QTest::addColumn<bool>("userGoesElsewhere"); // while the page's source is taken
        QTest::addColumn<QString>("value");          // what the check shows for the temperature
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("backToTab");
        QTest::addColumn<int>("errors");
        QTest::newRow("page unchanged") << QByteArray("/w.html") << false << u"21</t"_qs
                                        << u"Fertig! 2 Suchtexte, davon 0 nicht gefunden (FEHLER)."_qs << true << 0;
        QTest::newRow("page changed") << QByteArray("/anders.html") << false << u"FEHLER"_qs
                                      << u"Fertig! 2 Suchtexte, davon 2 nicht gefunden (FEHLER)."_qs << true << 0;
        QTest::newRow("page missing") << QByteArray("/fehlt.html") << false << QString() << u"Prüfung fehlgeschlagen"_qs
                                      << true << 1;
        QTest::newRow("too short") << QByteArray() << false << QString() << u"Prüfung fehlgeschlagen"_qs << false << 1;
        QTest::newRow("another page loaded")
            << QByteArray("/w.html") << true << QString()
            << u"Prüfung abgebrochen: Im Browser wurde eine andere Seite geladen."_qs << false << 0;
    }
    void checkSaysHowItEnded() {
        QFETCH(QByteArray, site);
        QFETCH(bool, userGoesElsewhere);
        QFETCH(QString, value);
        QFETCH(QString, status);
        QFETCH(bool, backToTab);
        QFETCH(int, errors);
        Session s;
        s.http.put("/anders.html", "<p>nichts</p>");
        QTcpServer silent; // takes the source's request and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        if (userGoesElsewhere)
            s.browser->servers.insert(u"wetter.test"_qs, QUrl(u"http://127.0.0.1:%1"_qs.arg(silent.serverPort())));
        s.saveProject(site);
        QString error;
        const auto project = ProjectFile::load(s.folder.file(u"W-wetter.test-qnd.ovw"_qs), &error);
        QVERIFY(project);
        const QByteArray file =
            site.isEmpty() ? "IMPORT:IPBIDIR,VERSION:1.0\r\n" : WebQueryExport::build(*project, kPage).bytes;
        QVERIFY(s.folder.write(u"W-qnd.htip"_qs, file));
        QSignalSpy ended(&s.session, &PageSession::checkEnded);
        s.session.startCheck(s.folder.file(u"W-qnd.htip"_qs));
        if (userGoesElsewhere) {
            QTRY_COMPARE(s.session.step(), Step::Source);
            s.browser->requestNavigation(u"http://wetter.test/anders.html"_qs);
        }
        QTRY_COMPARE(ended.size(), 1);
        const auto result = ended.first().first().value<CheckResult>();
        QCOMPARE(result.rows.size() > 2 ? result.rows.at(2).value : QString(), value);
        QCOMPARE(result.status, status);
        QCOMPARE(result.backToTab, backToTab);
        QCOMPARE(s.dialogs.texts(FakeDialogs::Kind::Error).size(), errors);
        QCOMPARE(s.browser->navigations.isEmpty(), site.isEmpty());
        QCOMPARE(s.session.job(), Job::None);
    }

    // A project on another port than 80 is opened, exported and checked from that port, as the
    // server fetches it.
    void projectOnAnotherPort() {
        Session s;
        const QString port = s.http.address("").section(u':', 1);
        QString error;
        QVERIFY(ProjectFile::save(s.folder.path(), {u"W"_qs, u"127.0.0.1"_qs, port, u"/w.html"_qs, {}}, &error));
        const QString file = u"W-127.0.0.1_%1-qnd.ovw"_qs.arg(port);
        QSignalSpy opened(&s.session, &PageSession::projectOpened);
        QVERIFY(s.session.openProject(file));
        QVERIFY(opened.wait());
        QSignalSpy exported(&s.session, &PageSession::exportEnded);
        s.session.startExport(file);
        QVERIFY(exported.wait());
        QVERIFY(s.folder.read(u"W-qnd.htip"_qs).contains("|W|127.0.0.1|" + port.toLatin1() + "|1||/w.html|"));
        QSignalSpy checked(&s.session, &PageSession::checkEnded);
        s.session.startCheck(exported.first().first().toString());
        QVERIFY(checked.wait());
        QCOMPARE(s.browser->navigations, QStringList(3, s.http.address("/w.html")));
        QCOMPARE(s.http.requests(), 2); // the export's and the check's source
        QVERIFY(s.dialogs.boxes.isEmpty());
    }

    // Save keeps the rows in the file and empties the list; the next analysis waits for a new page.
    void saveEmptiesTheList() {
        Session s;
        s.loadAndAnalyse(s.http.address("/w.html"));
        QVERIFY(s.session.saveProject({u"W"_qs, u"h"_qs, u"80"_qs, u"/w.html"_qs, {}}));
        QCOMPARE(s.session.rows().rowCount(), 0);
        QVERIFY(!s.session.canAnalyse());
        QVERIFY(s.folder.read(u"W-h-qnd.ovw"_qs).contains("ANA-0=Temperatur"));
    }
};

QTEST_GUILESS_MAIN(TestWebCheckSession)
#include "tst_webcheck_session.moc"

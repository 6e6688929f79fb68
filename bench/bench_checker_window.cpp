// "Analyse starten" in the web checker's window as a user runs it: the real window with its browser
// from the browser plugin (Qt WebEngine), the page served from a loopback web server on a thread of
// its own, the analysis started with the button and over when the status line says so. Measured:
// the wall time from the click to the end, the longest time the window's event loop stood still
// meanwhile (and the most CPU time the window's thread spent between two turns: the program's own
// share of a stall), beside the same analysis run directly in the benchmark (the source's line-break
// form, then the scan in slices, taking the rows after each; texts, links and images) and beside
// the longest stall of the same event loop left idle for as long. Two pages: a 2 MB weather page and
// a 20 MB page of the same rows with a script after each (a value every 250 bytes or so, under the
// list's budget of 100,000 rows). Prints min / median per measure and the ratios of the medians, and the machine's
// load average before and after.
//
//   bench_checker_window [--repetitions N]      (on $DISPLAY, e.g. under xvfb-run; else offscreen)
#include "DocumentFetch.h"
#include "FakeDialogs.h"
#include "LoopbackHttpServer.h"
#include "PageAnalysis.h"
#include "PageSource.h"
#include "TempProgramFolder.h"
#include "ThreadCpu.h"
#include "WebCheckTexts.h"
#include "WebCheckWindow.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int kDocumentTimeoutMs = 180000;
constexpr int kAnalysisTimeoutMs = 120000;
constexpr int kSettleMs = 1000;

// Weather rows: texts, numbers, links and images, lines indented with tabs; `padding` bytes of
// script after every row.
QByteArray weatherPage(qsizetype bytes, int padding) {
    const QByteArray script = "<script>var s = '" + QByteArray(padding, 'x') + "<b>';</script>\n";
    QByteArray page = "<html><head><title>Wetter</title></head><body><table>\n";
    page.reserve(bytes + 1024);
    for (int i = 0; page.size() < bytes; ++i) {
        page += "\t<tr class=\"zeile\"><td>Station " + QByteArray::number(i) + "</td><td>" +
                QByteArray::number(i % 35) + ",5 \xb0" + "C</td><td> Wind " + QByteArray::number(i % 60) +
                " km/h</td><td><a href=\"/station/" + QByteArray::number(i) +
                ".html\">Details</a></td><td><img src=\"/bilder/sonne.png\" alt=\"\"></td></tr>\n";
        if (padding > 0)
            page += script;
        else if (i % 50 == 0)
            page += "<script>var s" + QByteArray::number(i) + " = '<b>' + 1;</script>\n";
    }
    return page + "</table></body></html>\n";
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(values.size() / 2);
}

QString loadAverage() {
    QFile file(u"/proc/loadavg"_qs);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).section(u' ', 0, 2) : u"?"_qs;
}

// Runs the event loop until `done` holds (looked at every turn) or the time is up; meanwhile the
// longest time between two turns and the most thread CPU time between two turns.
struct Turns {
    bool ok = false;
    double wallMs = 0;
    double longestStallMs = 0;
    double longestTurnCpuMs = 0;
};

Turns runUntil(const std::function<bool()> &done, int timeoutMs) {
    Turns turns;
    QEventLoop loop;
    QElapsedTimer clock;
    QElapsedTimer sinceTurn;
    double cpuAtTurn = threadCpuSeconds();
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        turns.longestStallMs = std::max(turns.longestStallMs, double(sinceTurn.nsecsElapsed()) / 1e6);
        sinceTurn.restart();
        const double cpu = threadCpuSeconds();
        turns.longestTurnCpuMs = std::max(turns.longestTurnCpuMs, (cpu - cpuAtTurn) * 1e3);
        cpuAtTurn = cpu;
        if (done()) {
            turns.ok = true;
            loop.quit();
        } else if (clock.elapsed() > timeoutMs) {
            loop.quit();
        }
    });
    clock.start();
    sinceTurn.start();
    ticks.start(0);
    loop.exec();
    turns.wallMs = double(clock.nsecsElapsed()) / 1e6;
    return turns;
}

// The analysis as the benchmark runs it without the window: what the window's figure stands beside.
struct Bare {
    double wallMs = 0;
    qsizetype rows = 0;
};

Bare bareAnalysis(const QByteArray &document, const ScanOptions &options) {
    QElapsedTimer clock;
    clock.start();
    PageAnalysis analysis(PageSource::fromDocument(document));
    Bare bare;
    bool done = false;
    while (!done) {
        done = analysis.run(PageAnalysis::kSliceSteps, options);
        bare.rows += analysis.takeRows().size();
    }
    bare.wallMs = double(clock.nsecsElapsed()) / 1e6;
    return bare;
}

// The document fetched alone, as the analysis fetches it, on this thread: the share of the window's
// figure that is the transfer.
Turns fetchAlone(const QString &url) {
    QNetworkAccessManager network;
    DocumentFetch fetch(network);
    bool fetched = false;
    QObject::connect(&fetch, &DocumentFetch::finished, [&fetched](const QByteArray &bytes, const QString &error) {
        fetched = error.isEmpty() && !bytes.isEmpty();
    });
    fetch.fetch(QUrl(url));
    return runUntil([&fetched] { return fetched; }, kAnalysisTimeoutMs);
}

template <typename T> T *child(const QObject &root, const char *name) {
    T *found = root.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

struct Figures {
    std::vector<double> windowMs, stallMs, turnCpuMs, idleStallMs, bareMs, fetchMs, fetchTurnCpuMs;
    qsizetype windowRows = 0, bareRows = 0;
};

// One page: served, loaded in the window's browser, analysed `repetitions` times.
// `shownShort`: the browser gets a short page of the same address to show, the analysis's fetch the
// page itself (a software-rendered browser takes minutes to lay out 20 MB of table rows, and what
// it shows is not what the analysis costs).
bool measurePage(const QByteArray &page, bool shownShort, int repetitions, Figures &figures) {
    int requests = 0;
    const LoopbackHttpServerThread web([&page, shownShort, &requests](const QByteArray &target) {
        const bool shortPage = shownShort && target == "/wetter.html" && requests++ == 0;
        return LoopbackHttpServer::response("200 OK", shortPage ? weatherPage(4096, 0) : page, "text/html");
    });
    TempProgramFolder folder;
    FakeDialogs dialogs;
    WebCheckWindow window(folder.path(), dialogs);
    window.open();
    child<QLineEdit>(window, "WABez")->setText(u"Wetter"_qs);
    child<QLineEdit>(window, "WAHOST")->setText(web.baseUrl().mid(int(qstrlen("http://"))));
    child<QLineEdit>(window, "WASITE")->setText(u"/wetter.html"_qs);
    child<QAbstractButton>(window, "gobrowser")->click();
    auto *analyse = child<QAbstractButton>(window, "analysebtn");
    if (!runUntil([analyse] { return analyse->isEnabled(); }, kDocumentTimeoutMs).ok) {
        std::fprintf(stderr, "the page did not load in the browser\n");
        return false;
    }
    // What the browser still does after the page completed is not the analysis's.
    runUntil([] { return false; }, kSettleMs);
    // Texts, links and images: every value the page has, as the component benchmark scans.
    for (const char *box : {"mtext", "mbilder", "mlinks"})
        child<QCheckBox>(window, box)->setChecked(true);
    const ScanOptions options{child<QCheckBox>(window, "mtext")->isChecked(),
                              child<QCheckBox>(window, "mbilder")->isChecked(),
                              child<QCheckBox>(window, "mlinks")->isChecked()};
    auto *status = child<QLabel>(window, "statustext");
    auto *list = child<QAbstractItemView>(window, "Liste");
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        analyse->click();
        const Turns turns =
            runUntil([status] { return status->text() != WebCheckTexts::kAnalysiere; }, kAnalysisTimeoutMs);
        if (!turns.ok || !dialogs.texts(FakeDialogs::Kind::Error).isEmpty()) {
            std::fprintf(stderr, "the analysis did not end: %s\n", qPrintable(status->text()));
            return false;
        }
        figures.windowMs.push_back(turns.wallMs);
        figures.stallMs.push_back(turns.longestStallMs);
        figures.turnCpuMs.push_back(turns.longestTurnCpuMs);
        figures.windowRows = list->model()->rowCount();
        figures.idleStallMs.push_back(runUntil([] { return false; }, int(turns.wallMs)).longestStallMs);
        const Bare bare = bareAnalysis(page, options);
        figures.bareMs.push_back(bare.wallMs);
        figures.bareRows = bare.rows;
        const Turns fetch = fetchAlone(web.baseUrl() + u"/wetter.html"_qs);
        figures.fetchMs.push_back(fetch.ok ? fetch.wallMs : 0);
        figures.fetchTurnCpuMs.push_back(fetch.longestTurnCpuMs);
    }
    return true;
}

void printRow(const char *measure, const std::vector<double> &values, const std::vector<double> *beside) {
    std::printf("  %-52s %9.1f / %9.1f", measure, *std::min_element(values.begin(), values.end()), median(values));
    if (beside && median(*beside) > 0)
        std::printf("   ratio %6.2f", median(values) / median(*beside));
    std::printf("\n");
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window loads the browser plugin of this build, as the program file finds its own.
    if (qEnvironmentVariableIsEmpty("QUENDRA_BROWSER_PLUGIN"))
        qputenv("QUENDRA_BROWSER_PLUGIN", QUENDRA_BROWSER_PLUGIN_FILE);
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int repetitions = std::max(1, arguments.value(arguments.indexOf(u"--repetitions"_qs) + 1, u"5"_qs).toInt());

    struct Page {
        const char *name;
        QByteArray bytes;
        bool shownShort;
    };
    const Page pages[] = {{"2 MB weather page", weatherPage(2 * 1024 * 1024, 0), false},
                          {"20 MB page, a script after every row (the browser shows a short one)",
                           weatherPage(20 * 1024 * 1024, 1000), true}};
    std::printf("%s, %d repetitions, load average before: %s\n", qPrintable(QGuiApplication::platformName()),
                repetitions, qPrintable(loadAverage()));
    bool complete = true;
    for (const Page &page : pages) {
        Figures figures;
        if (!measurePage(page.bytes, page.shownShort, repetitions, figures)) {
            complete = false;
            continue;
        }
        std::printf("\n%s (%lld bytes; rows: window %lld, bench %lld)          min / median (ms)\n", page.name,
                    static_cast<long long>(page.bytes.size()), static_cast<long long>(figures.windowRows),
                    static_cast<long long>(figures.bareRows));
        printRow("analysis in the window, click to end", figures.windowMs, &figures.bareMs);
        printRow("the same analysis in the benchmark", figures.bareMs, nullptr);
        printRow("the page fetched alone (in the window's figure)", figures.fetchMs, nullptr);
        // The benchmark's analysis starts from the page's bytes; the window's fetches them first.
        std::vector<double> withoutFetch;
        for (std::size_t i = 0; i < figures.windowMs.size(); ++i)
            withoutFetch.push_back(figures.windowMs.at(i) - figures.fetchMs.at(i));
        printRow("click to end less the fetch alone (same repetition)", withoutFetch, &figures.bareMs);
        printRow("window: longest event-loop stall", figures.stallMs, &figures.idleStallMs);
        printRow("window: most thread CPU between two turns", figures.turnCpuMs, nullptr);
        printRow("idle event loop as long: longest stall", figures.idleStallMs, nullptr);
        printRow("the fetch alone: most thread CPU between two turns", figures.fetchTurnCpuMs, nullptr);
    }
    std::printf("\nload average after: %s\n", qPrintable(loadAverage()));
    return complete ? 0 : 1;
}

// "OV Struktur laden" end to end: the catalogue fetched over HTTP from a loopback server on a thread of
// its own, read and built on the worker, the copy replaced, the tree shown in `ovtree` — beside a bare
// streaming parse of the same document, and the longest time the event loop stood still meanwhile
// beside the longest one of an idle loop.
#include "CatalogueController.h"
#include "FakeDialogs.h"
#include "LoopbackHttpServer.h"
#include "ProcessStats.h"
#include "ThreadCpu.h"
#include "WorkArea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QXmlStreamReader>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {
QByteArray generatedCatalogue(int objects) {
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<cobjects>\n";
    for (int i = 0; i < objects; ++i)
        xml += QStringLiteral("<cobject type=\"%1\" path=\"Geb\u00e4ude %2\\Etage %3\\Raum %4\\\" ga=\"%5/%6/%7\" "
                              "name=\"Objekt %8 &amp; K\u00fcche\" ganum=\"%8\" init=\"0\" min=\"0\" max=\"100\" "
                              "list=\"Aus;Ein\" fmt=\"EIS5\"/>\n")
                   .arg(i % 9 == 0 ? u"internal"_qs : u"eib"_qs)
                   .arg(i % 20)
                   .arg(i % 4)
                   .arg(i % 12)
                   .arg(i / 65536)
                   .arg(i / 256 % 256)
                   .arg(i % 256)
                   .arg(i)
                   .toLatin1();
    return xml + "</cobjects>\n";
}

// The server's web port on a thread of its own, as the real server is another machine: the
// window's thread pays only for its own side of the transfer.
class WebPortThread {
public:
    explicit WebPortThread(QByteArray document) {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this, &document] {
                m_server = std::make_unique<LoopbackHttpServer>(LoopbackHttpServer::response("200 OK", document));
            },
            Qt::BlockingQueuedConnection);
    }
    ~WebPortThread() {
        QMetaObject::invokeMethod(
            &m_context, [this] { m_server.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    quint16 port() const { return m_server->port(); }

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<LoopbackHttpServer> m_server;
};

// What every reader of the document does at least: every token, every attribute.
qsizetype bareParse(const QByteArray &document) {
    QXmlStreamReader reader(document);
    qsizetype attributes = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement)
            attributes += reader.attributes().size();
    return attributes;
}

// The catalogue column with its controller as the window has them, fetching from the web port.
struct CatalogueRig {
    explicit CatalogueRig(const QByteArray &document)
        : web(document), port(QString::number(web.port())),
          controller(column, dialogs, network, dir.filePath(u"cobjects.xml"_qs),
                     {[] { return u"127.0.0.1"_qs; }, [this] { return port; }, {}, {}}) {
        column.show();
        column.attach(controller);
    }
    // Presses "OV Struktur laden" and runs the event loop until the load is over.
    void load() {
        QEventLoop loop;
        QObject::connect(&controller, &CatalogueController::loadFinished, &loop, &QEventLoop::quit);
        column.findChild<QPushButton *>(u"OVxmlLoadbtn"_qs)->click();
        loop.exec();
    }

    QTemporaryDir dir;
    // Serves the document to every request, as the server's web port does.
    const WebPortThread web;
    const QString port;
    FakeDialogs dialogs;
    QNetworkAccessManager network;
    CatalogueColumn column;
    CatalogueController controller;
};

void BM_LoadCatalogueIntoTree(benchmark::State &state) {
    const QByteArray document = generatedCatalogue(static_cast<int>(state.range(0)));
    QElapsedTimer clock;
    clock.start();
    constexpr int kBareRuns = 5;
    for (int i = 0; i < kBareRuns; ++i)
        benchmark::DoNotOptimize(bareParse(document));
    const double bareMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kBareRuns;

    CatalogueRig rig(document);

    // The longest time between two turns of the event loop while loading, and the most CPU time
    // this thread spent between two turns: the share of a stall that is the program's own work,
    // whatever else the machine runs.
    qint64 longestStallNs = 0;
    double longestTurnCpu = 0;
    double cpuAtTurn = 0;
    QElapsedTimer sinceTurn;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestStallNs = std::max(longestStallNs, sinceTurn.nsecsElapsed());
        sinceTurn.restart();
        const double cpu = threadCpuSeconds();
        longestTurnCpu = std::max(longestTurnCpu, cpu - cpuAtTurn);
        cpuAtTurn = cpu;
    });

    double loadNs = 0;
    for (auto _ : state) {
        clock.restart();
        sinceTurn.start();
        cpuAtTurn = threadCpuSeconds();
        turns.start(0);
        rig.load();
        turns.stop();
        loadNs += static_cast<double>(clock.nsecsElapsed());
    }
    const double loadMs = loadNs / 1e6 / static_cast<double>(state.iterations());

    // The same event loop left alone for as long: what the machine's scheduling alone costs.
    const qint64 loadStallNs = std::exchange(longestStallNs, 0);
    const double loadTurnCpu = longestTurnCpu;
    QEventLoop idle;
    QTimer::singleShot(static_cast<int>(loadMs), &idle, &QEventLoop::quit);
    sinceTurn.start();
    turns.start(0);
    idle.exec();
    turns.stop();

    if (!rig.dialogs.texts(FakeDialogs::Kind::Error).isEmpty() || rig.controller.objectCount() != state.range(0))
        state.SkipWithError("the catalogue did not load");
    state.counters["load_ms"] = loadMs;
    state.counters["bare_parse_ms"] = bareMs;
    state.counters["ratio"] = loadMs / bareMs;
    state.counters["longest_stall_ms"] = static_cast<double>(loadStallNs) / 1e6;
    state.counters["idle_stall_ms"] = static_cast<double>(longestStallNs) / 1e6;
    state.counters["longest_turn_cpu_ms"] = loadTurnCpu * 1e3;
}
// Three loads each: the first into an empty tree, the others replacing a full one.
BENCHMARK(BM_LoadCatalogueIntoTree)
    ->Arg(20000)
    ->Arg(50000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// "OV Struktur laden" eight times in one process, as a user who reloads now and then: what the
// process holds after the first load and after the last one.
void BM_ReloadCatalogue(benchmark::State &state) {
    CatalogueRig rig(generatedCatalogue(static_cast<int>(state.range(0))));
    constexpr int kLoads = 8;
    std::vector<double> resident;
    for (auto _ : state) {
        for (int load = 0; load < kLoads; ++load) {
            rig.load();
            // The old tree is let go on a worker; its memory counts once that is done.
            QThreadPool::globalInstance()->waitForDone();
            resident.push_back(double(ProcessStats::residentKb(::getpid())) / 1024);
        }
    }
    if (rig.controller.objectCount() != state.range(0))
        state.SkipWithError("the catalogue did not load");
    state.counters["rss_after_first_MB"] = resident.front();
    state.counters["rss_after_last_MB"] = resident.back();
    state.counters["growth_MB"] = resident.back() - resident.front();
}
BENCHMARK(BM_ReloadCatalogue)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

// "OV Struktur laden" end to end: the catalogue fetched over HTTP from a loopback server, read and
// built on the worker, the copy replaced, the tree shown in `ovtree` — beside a bare streaming
// parse of the same document, and the longest time the event loop stood still meanwhile beside the
// longest one of an idle loop.
#include "CatalogueController.h"
#include "FakeDialogs.h"
#include "LoopbackHttpServer.h"
#include "WorkArea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>
#include <benchmark/benchmark.h>

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

// What every reader of the document does at least: every token, every attribute.
qsizetype bareParse(const QByteArray &document) {
    QXmlStreamReader reader(document);
    qsizetype attributes = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement)
            attributes += reader.attributes().size();
    return attributes;
}

void BM_LoadCatalogueIntoTree(benchmark::State &state) {
    const QByteArray document = generatedCatalogue(static_cast<int>(state.range(0)));
    QElapsedTimer clock;
    clock.start();
    constexpr int kBareRuns = 5;
    for (int i = 0; i < kBareRuns; ++i)
        benchmark::DoNotOptimize(bareParse(document));
    const double bareMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kBareRuns;

    QTemporaryDir dir;
    // Serves the document to every request, as the server's web port does.
    LoopbackHttpServer web(LoopbackHttpServer::response("200 OK", document));
    FakeDialogs dialogs;
    QNetworkAccessManager network;
    CatalogueColumn column;
    column.show();
    const QString port = QString::number(web.port());
    CatalogueController controller(column, dialogs, network, dir.filePath(u"cobjects.xml"_qs),
                                   {[] { return u"127.0.0.1"_qs; }, [&port] { return port; }, {}, {}});
    column.attach(controller);
    auto *button = column.findChild<QPushButton *>(u"OVxmlLoadbtn"_qs);

    // The longest time between two turns of the event loop while loading.
    qint64 longestStallNs = 0;
    QElapsedTimer sinceTurn;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestStallNs = std::max(longestStallNs, sinceTurn.nsecsElapsed());
        sinceTurn.restart();
    });

    double loadNs = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&controller, &CatalogueController::loadFinished, &loop, &QEventLoop::quit);
        clock.restart();
        sinceTurn.start();
        turns.start(0);
        button->click();
        loop.exec();
        turns.stop();
        loadNs += static_cast<double>(clock.nsecsElapsed());
    }
    const double loadMs = loadNs / 1e6 / static_cast<double>(state.iterations());

    // The same event loop left alone for as long: what the machine's scheduling alone costs.
    const qint64 loadStallNs = std::exchange(longestStallNs, 0);
    QEventLoop idle;
    QTimer::singleShot(static_cast<int>(loadMs), &idle, &QEventLoop::quit);
    sinceTurn.start();
    turns.start(0);
    idle.exec();
    turns.stop();

    if (!dialogs.texts(FakeDialogs::Kind::Error).isEmpty() || controller.objectCount() != state.range(0))
        state.SkipWithError("the catalogue did not load");
    state.counters["load_ms"] = loadMs;
    state.counters["bare_parse_ms"] = bareMs;
    state.counters["ratio"] = loadMs / bareMs;
    state.counters["longest_stall_ms"] = static_cast<double>(loadStallNs) / 1e6;
    state.counters["idle_stall_ms"] = static_cast<double>(longestStallNs) / 1e6;
}
// Three loads each: the first into an empty tree, the others replacing a full one.
BENCHMARK(BM_LoadCatalogueIntoTree)
    ->Arg(20000)
    ->Arg(50000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

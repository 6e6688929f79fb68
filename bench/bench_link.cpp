// Every line from the bus goes through the bus monitor and the dispatch; a busy installation
// sends several lines a second all day, and after a reconnect the server hands over the value
// of every object at once.
#include "BusMonitor.h"
#include "FakeDialogs.h"
#include "FakeLinkView.h"
#include "FakePlatform.h"
#include "FakeTrayIcon.h"
#include "LinkController.h"
#include "LoopbackGateway.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "ProcessStats.h"
#include "ThreadCpu.h"
#include "TrayPopup.h"
#include "ValueDispatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {
QString busLine(int i) {
    return QStringLiteral("2|%1|%2.5").arg(1000 + i % 500).arg(i % 40);
}

MenuList makeMenu(int entries) {
    MenuList menu;
    for (int k = 0; k < entries; ++k) {
        MenuCommand c;
        c.bezeichnung = QStringLiteral("Licht $3");
        c.aktion = QStringLiteral("Um");
        c.gan = QString::number(k % 8 == 0 ? 768 : 1000 + k);
        c.balloon = QStringLiteral("True");
        menu.append(c);
    }
    return menu;
}

void BM_BusMonitorInsertWhenFull(benchmark::State &state) {
    BusMonitor monitor;
    for (int i = 0; i < BusMonitor::kCapacity; ++i)
        monitor.insertTop(busLine(i));
    int i = 0;
    for (auto _ : state)
        monitor.insertTop(busLine(i++));
}
BENCHMARK(BM_BusMonitorInsertWhenFull);

void BM_Getlv(benchmark::State &state) {
    BusMonitor monitor;
    for (int i = 0; i < BusMonitor::kCapacity; ++i)
        monitor.insertTop(busLine(i));
    const QString gan = QStringLiteral("1250");
    for (auto _ : state)
        benchmark::DoNotOptimize(monitor.getlv(gan));
}
BENCHMARK(BM_Getlv);

// One changed value through the dispatch into a menu of 32 entries, 4 bound to the number.
void BM_DispatchIntoMenu(benchmark::State &state) {
    MenuList menu = makeMenu(32);
    FakeTrayIcon tray;
    FakeDialogs dialogs;
    FakeEventSounds sounds;
    const WildcardTexts texts;
    Notifications notifications(menu, texts, tray, dialogs, sounds);
    MenuValueTarget target(menu, notifications, [] { return true; });
    ValueDispatch dispatch;
    dispatch.addTarget(&target);
    const QString on = QStringLiteral("2|768|1.0");
    const QString off = QStringLiteral("2|768|0.0");
    bool flip = false;
    for (auto _ : state) {
        dispatch.update_lv_menu(flip ? on : off, false);
        flip = !flip;
        tray.balloons.clear(); // the tray shows one balloon at a time; the fake would keep them all
    }
}
BENCHMARK(BM_DispatchIntoMenu);

// --- a burst through the whole link ---------------------------------------------------------

// Counts the lines and notes when the last one arrived.
struct Arrivals : ValueTarget {
    int lines = 0;
    int polled = 0; // lines that came with the polling, not as initial
    int expected = 0;
    double cpuAtLast = 0;
    qint64 wallAtLastNs = 0;
    QElapsedTimer *wall = nullptr;
    void onValue(const DecodedLine &, bool initial) override {
        polled += !initial;
        if (++lines == expected) {
            cpuAtLast = threadCpuSeconds();
            wallAtLastNs = wall->nsecsElapsed();
        }
    }
};

// N value lines through the real GatewayLink, LinkController, bus monitor and dispatch into a
// menu of 32 entries with its popup, beside the time a bare NUL split of the same bytes takes.
void BM_BurstThroughLink(benchmark::State &state) {
    const int count = int(state.range(0));
    QByteArray burst;
    for (int i = 0; i < count; ++i)
        burst += busLine(i).toLatin1() + '\0';

    // The bare baseline: cutting the same bytes at every NUL.
    const double bareStart = threadCpuSeconds();
    qsizetype pieces = 0;
    for (qsizetype from = 0; from < burst.size();) {
        const qsizetype nul = burst.indexOf('\0', from);
        const QByteArray piece = burst.mid(from, nul - from);
        benchmark::DoNotOptimize(piece.constData());
        ++pieces;
        from = nul + 1;
    }
    const double bare = threadCpuSeconds() - bareStart;

    for (auto _ : state) {
        LoopbackGateway server;
        FakeLinkView view;
        FakeTrayIcon tray;
        FakeDialogs dialogs;
        FakeEventSounds sounds;
        LinkTimings timings;
        timings.connectReadTimeoutMs = 50; // quick through the connection, the burst is polled
        timings.pollIntervalMs = 20;
        timings.resumeCheckIntervalMs = 0;
        LinkController link(view, tray, dialogs, timings);
        MenuList menu = makeMenu(32);
        const WildcardTexts texts;
        Notifications notifications(menu, texts, tray, dialogs, sounds);
        MenuValueTarget target(menu, notifications, [] { return false; });
        TrayPopup popup(menu, texts, [](int) { return QIcon(); });
        QElapsedTimer wall;
        Arrivals arrivals;
        arrivals.expected = count;
        arrivals.wall = &wall;
        link.dispatch().addTarget(&target);
        link.dispatch().addTarget(&arrivals);
        int rebuilds = 0;
        link.dispatch().setPopupRebuild([&popup, &rebuilds] {
            popup.valuesChanged();
            ++rebuilds;
        });
        popup.make_popup();
        link.link().setHost(QStringLiteral("127.0.0.1"));
        link.link().setPort(server.port());
        link.ovconnectbtnClick();
        QEventLoop loop;
        QTimer wait;
        QObject::connect(&wait, &QTimer::timeout, &loop, [&] {
            // "connected" sets the online header, the end of the button's drain sets it again:
            // the burst then comes with the polling, as a busy bus's lines do.
            if (view.headerOnlineCount == 2 && link.pollingEnabled())
                loop.quit();
        });
        wait.start(5);
        loop.exec();

        // The event loop's longest stall: how late a precise 10 ms timer comes at worst.
        qint64 worstLatenessNs = 0;
        QElapsedTimer sinceTick;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            worstLatenessNs = std::max(worstLatenessNs, sinceTick.nsecsElapsed() - 10'000'000);
            sinceTick.start();
        });
        QObject::disconnect(&wait, nullptr, nullptr, nullptr);
        QObject::connect(&wait, &QTimer::timeout, &loop, [&] {
            if (arrivals.lines >= count)
                loop.quit();
        });

        rebuilds = 0;
        const qint64 rssBefore = ProcessStats::residentKb(::getpid());
        ProcessStats::resetPeak(::getpid());
        const double cpuStart = threadCpuSeconds();
        wall.start();
        sinceTick.start();
        tick.start(10);
        server.send(burst);
        loop.exec();
        const double cpu = arrivals.cpuAtLast - cpuStart;
        const int rebuildsDuringBurst = rebuilds;
        const qint64 peakKb = ProcessStats::peakResidentKb(::getpid()) - rssBefore;
        tick.stop();
        link.closeLink();

        state.SetIterationTime(double(arrivals.wallAtLastNs) / 1e9);
        state.counters["cpu_us_per_line"] = cpu / count * 1e6;
        state.counters["cpu_s"] = cpu;
        state.counters["bare_split_s"] = bare;
        state.counters["ratio_to_bare"] = cpu / bare;
        state.counters["longest_stall_ms"] = double(worstLatenessNs) / 1e6;
        state.counters["memory_peak_MB"] = double(peakKb) / 1024.0;
        state.counters["lines"] = pieces;
        state.counters["polled"] = arrivals.polled;
        state.counters["popup_rebuilds"] = rebuildsDuringBurst;
    }
}
BENCHMARK(BM_BurstThroughLink)->Arg(10000)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
} // namespace

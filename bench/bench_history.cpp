// The history beside the work it rides on: a burst and a steady bus of value lines delivered as the
// link delivers them, with and without recording, and a month's chart of one object built and drawn
// offscreen beside a plain polyline of the same values.
#include "BusMonitor.h"
#include "ChartData.h"
#include "FakeDialogs.h"
#include "FakePlatform.h"
#include "FakeTrayIcon.h"
#include "History.h"
#include "HistoryDatabase.h"
#include "HistoryValueRecorder.h"
#include "LineSplitter.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "TrayPopup.h"
#include "ValueChart.h"
#include "ValueDispatch.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <ctime>
#include <optional>
#include <sqlite3.h>

namespace {
constexpr qsizetype kReadBytes = 16 * 1024; // what the link takes from its socket in one read
constexpr int kRounds = 5;                  // each variant, alternating; the medians are reported

double cpuMs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

MenuList menuOf(int entries) {
    MenuList menu;
    for (int k = 0; k < entries; ++k) {
        MenuCommand c;
        c.bezeichnung = QStringLiteral("Licht $3");
        c.aktion = QStringLiteral("Um");
        c.gan = QString::number(1000 + k * 7);
        c.balloon = QStringLiteral("True");
        menu.append(c);
    }
    return menu;
}

struct Run {
    double threadCpuMs = 0;  // the window's thread, until the last line was handed on
    double processCpuMs = 0; // every thread, until the lines were written
    double wallMs = 0;       // until the last line was handed on
    double writtenMs = 0;    // until the last line was in the file (recording only)
    double stallMs = 0;      // the event loop's longest stall: how late a 10 ms timer came at worst
};

// What the link hands a line to: the bus monitor, a menu of 32 entries behind its popup, and, when a
// history is given, its recorder.
struct LineReceivers {
    BusMonitor monitor;
    MenuList menu = menuOf(32);
    FakeTrayIcon tray;
    FakeDialogs dialogs;
    FakeEventSounds sounds;
    const WildcardTexts texts;
    Notifications notifications{menu, texts, tray, dialogs, sounds};
    MenuValueTarget target{menu, notifications, [] {
                               return false;
                           }};
    TrayPopup popup{menu, texts, [](int) {
                        return QIcon();
                    }};
    ValueDispatch dispatch;
    std::optional<HistoryValueRecorder> recorder;

    explicit LineReceivers(History *history) {
        dispatch.addTarget(&target);
        if (history) {
            recorder.emplace(*history);
            dispatch.addTarget(&*recorder);
        }
        dispatch.setPopupRebuild([this] { popup.make_popup(); });
    }
};

// The burst as the link hands it over: one socket read per pass of the event loop, every line of
// it cut, put into the bus monitor and dispatched into a menu of 32 entries (the popup held until
// the burst ends), and, when a history is given, recorded.
Run deliver(const QByteArray &burst, History *history) {
    LineReceivers receivers(history);
    BusMonitor &monitor = receivers.monitor;
    ValueDispatch &dispatch = receivers.dispatch;

    Run run;
    QEventLoop loop;
    QElapsedTimer wall;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        run.stallMs = std::max(run.stallMs, double(sinceTick.nsecsElapsed()) / 1e6 - 10);
        sinceTick.restart();
    });
    LineSplitter splitter;
    qsizetype offset = 0;
    QTimer pass;
    pass.setInterval(0);
    const double threadStart = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    const double processStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    QObject::connect(&pass, &QTimer::timeout, &loop, [&] {
        splitter.takeBytes(QByteArrayView(burst.constData() + offset, std::min(kReadBytes, burst.size() - offset)));
        offset += kReadBytes;
        while (const std::optional<QByteArray> line = splitter.takeLine()) {
            const QString text = QString::fromLatin1(*line);
            monitor.insertTop(text);
            dispatch.update_lv_menu(text, false);
        }
        if (offset < burst.size())
            return;
        pass.stop();
        dispatch.holdPopup(false);
        run.threadCpuMs = cpuMs(CLOCK_THREAD_CPUTIME_ID) - threadStart;
        run.wallMs = double(wall.nsecsElapsed()) / 1e6;
        if (!history) {
            run.processCpuMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - processStart;
            loop.quit();
            return;
        }
        history->afterWrites(&loop, [&] {
            run.writtenMs = double(wall.nsecsElapsed()) / 1e6;
            run.processCpuMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - processStart;
            loop.quit();
        });
    });
    dispatch.holdPopup(true);
    wall.start();
    sinceTick.start();
    tick.start(10);
    pass.start();
    loop.exec();
    return run;
}

// Waits on the event loop for the history's writer to answer.
void awaitWriter(History &history) {
    QEventLoop loop;
    history.afterWrites(&loop, [&loop] { loop.quit(); });
    loop.exec();
}

void BM_BurstRecorded(benchmark::State &state) {
    const int count = int(state.range(0));
    QByteArray burst;
    for (int i = 0; i < count; ++i)
        burst += QByteArrayLiteral("2|") + QByteArray::number(1000 + i % 500) + '|' + QByteArray::number(i % 40) +
                 ".5" + '\0';
    for (auto _ : state) {
        std::vector<double> baseCpu, baseWall, baseStall, recCpu, recWall, recWritten, recStall, writerCpu;
        for (int round = 0; round < kRounds; ++round) {
            const Run base = deliver(burst, nullptr);
            baseCpu.push_back(base.threadCpuMs);
            baseWall.push_back(base.wallMs);
            baseStall.push_back(base.stallMs);

            QTemporaryDir folder;
            History history(folder.path());
            awaitWriter(history); // open, as it is long before a burst comes
            const Run recorded = deliver(burst, &history);
            recCpu.push_back(recorded.threadCpuMs);
            recWall.push_back(recorded.wallMs);
            recWritten.push_back(recorded.writtenMs);
            recStall.push_back(recorded.stallMs);
            writerCpu.push_back(recorded.processCpuMs - recorded.threadCpuMs);
        }
        state.SetIterationTime(median(recWritten) / 1e3);
        state.counters["base_cpu_ms"] = median(baseCpu);
        state.counters["rec_cpu_ms"] = median(recCpu);
        state.counters["cpu_ratio"] = median(recCpu) / median(baseCpu);
        state.counters["base_wall_ms"] = median(baseWall);
        state.counters["rec_wall_ms"] = median(recWall);
        state.counters["rec_written_ms"] = median(recWritten);
        state.counters["written_ratio"] = median(recWritten) / median(baseWall);
        state.counters["writer_cpu_ms"] = median(writerCpu);
        // The writer's thread against the bare delivery of the same lines: steadier than the
        // milliseconds when the machine's speed changes between runs.
        state.counters["writer_ratio"] = median(writerCpu) / median(baseCpu);
        state.counters["base_stall_ms"] = median(baseStall);
        state.counters["rec_stall_ms"] = median(recStall);
    }
}
BENCHMARK(BM_BurstRecorded)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- a steady bus ------------------------------------------------------------------------------

constexpr int kSteadyIntervalMs = 10; // 100 lines a second
constexpr int kSteadyLines = 400;

struct SteadyRun {
    double threadCpuMs = 0;  // the window's thread
    double processCpuMs = 0; // every thread, until the lines were written
};

// A quiet bus: one line every 10 ms, each as the link hands it on (bus monitor, menu of 32 entries,
// and, when a history is given, recorded). The time spent waiting between lines costs no CPU, so
// the figures are the work done per line, with the writer's transaction a second.
SteadyRun deliverSteady(const QList<QString> &lines, History *history) {
    LineReceivers receivers(history);
    BusMonitor &monitor = receivers.monitor;
    ValueDispatch &dispatch = receivers.dispatch;
    dispatch.holdPopup(true); // as in a burst: the popup's rebuild is not what is measured here

    SteadyRun run;
    QEventLoop loop;
    QTimer pass;
    pass.setTimerType(Qt::PreciseTimer);
    pass.setInterval(kSteadyIntervalMs);
    qsizetype next = 0;
    const double threadStart = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    const double processStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    const auto finish = [&] {
        run.threadCpuMs = cpuMs(CLOCK_THREAD_CPUTIME_ID) - threadStart;
        run.processCpuMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - processStart;
        loop.quit();
    };
    QObject::connect(&pass, &QTimer::timeout, &loop, [&] {
        monitor.insertTop(lines[next]);
        dispatch.update_lv_menu(lines[next], false);
        if (++next < lines.size())
            return;
        pass.stop();
        if (history)
            history->afterWrites(&loop, finish);
        else
            finish();
    });
    pass.start();
    loop.exec();
    dispatch.holdPopup(false);
    return run;
}

// CPU per line of a steady 100 lines a second, with and without the history; writer_us_per_line
// is the writer's thread alone, the ratio is the whole process's against the bare delivery.
void BM_SteadyRecorded(benchmark::State &state) {
    QList<QString> lines;
    for (int i = 0; i < kSteadyLines; ++i)
        lines.append(QStringLiteral("2|%1|%2.5").arg(1000 + i % 50).arg(i % 40));
    for (auto _ : state) {
        std::vector<double> baseCpu, recCpu, writerCpu;
        for (int round = 0; round < 3; ++round) {
            const SteadyRun base = deliverSteady(lines, nullptr);
            baseCpu.push_back(base.processCpuMs);

            QTemporaryDir folder;
            History history(folder.path());
            awaitWriter(history);
            const SteadyRun recorded = deliverSteady(lines, &history);
            recCpu.push_back(recorded.processCpuMs);
            writerCpu.push_back(recorded.processCpuMs - recorded.threadCpuMs);
        }
        const double perLine = 1e3 / kSteadyLines; // ms per run to µs per line
        state.counters["base_us_per_line"] = median(baseCpu) * perLine;
        state.counters["rec_us_per_line"] = median(recCpu) * perLine;
        state.counters["writer_us_per_line"] = median(writerCpu) * perLine;
        state.counters["cpu_ratio"] = median(recCpu) / median(baseCpu);
        state.counters["writer_ratio"] = median(writerCpu) / median(baseCpu);
    }
}
BENCHMARK(BM_SteadyRecorded)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- the writer's seconds ---------------------------------------------------------------------

constexpr int kSecondLines = 100; // a steady bus's second
constexpr int kSecondObjects = 50;
constexpr int kSeconds = 600;
constexpr qint64 kFoldLogBytes = 1024 * 1024;

std::vector<QList<ValueRecord>> steadySeconds() {
    std::vector<QList<ValueRecord>> seconds(kSeconds);
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    for (int s = 0; s < kSeconds; ++s)
        for (int i = 0; i < kSecondLines; ++i)
            seconds[s].append({start + s * 1000 + i * 10, QString::number(1000 + i % kSecondObjects),
                               QStringLiteral("%1.5").arg((s + i) % 40)});
    return seconds;
}

void sqliteExec(sqlite3 *db, const char *sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("%s: %s", sql, sqlite3_errmsg(db));
}

// The bare baseline: the same rows into the same file (as the history makes it), with the same
// settings, through SQLite alone: a transaction a second with the objects' newest times, the log
// folded back past 1 MiB. The window thread's CPU in ms.
double bareSecondsCpuMs(const QString &path, const std::vector<QList<ValueRecord>> &seconds) {
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    for (const char *setting : {"PRAGMA locking_mode=EXCLUSIVE", "PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL",
                                "PRAGMA wal_autocheckpoint=0", "PRAGMA cache_size=-16384"})
        sqliteExec(db, setting);
    sqlite3_stmt *insert = nullptr;
    sqlite3_stmt *newest = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO value_lines(time, gan, value) VALUES(?, ?, ?)", -1, &insert, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO objects(gan, last) VALUES(?, ?) ON CONFLICT(gan) DO UPDATE SET last = "
                       "max(last, excluded.last)",
                       -1, &newest, nullptr);
    const QString log = path + QStringLiteral("-wal");
    const double start = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    for (const QList<ValueRecord> &second : seconds) {
        sqliteExec(db, "BEGIN");
        QHash<QStringView, qint64> last;
        for (const ValueRecord &row : second) {
            sqlite3_bind_int64(insert, 1, row.timeMs);
            sqlite3_bind_text16(insert, 2, row.gan.utf16(), int(row.gan.size() * 2), SQLITE_STATIC);
            sqlite3_bind_text16(insert, 3, row.value.utf16(), int(row.value.size() * 2), SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
            last[row.gan] = row.timeMs;
        }
        for (auto it = last.cbegin(); it != last.cend(); ++it) {
            sqlite3_bind_text16(newest, 1, it.key().utf16(), int(it.key().size() * 2), SQLITE_STATIC);
            sqlite3_bind_int64(newest, 2, it.value());
            sqlite3_step(newest);
            sqlite3_reset(newest);
        }
        sqliteExec(db, "COMMIT");
        if (QFileInfo(log).size() > kFoldLogBytes)
            sqliteExec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    }
    const double cpu = cpuMs(CLOCK_THREAD_CPUTIME_ID) - start;
    sqlite3_finalize(insert);
    sqlite3_finalize(newest);
    sqlite3_close(db);
    return cpu;
}

double historySecondsCpuMs(const QString &path, const std::vector<QList<ValueRecord>> &seconds) {
    HistoryDatabase db(path);
    db.open({});
    const double start = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    for (const QList<ValueRecord> &second : seconds)
        db.write(second, {});
    return cpuMs(CLOCK_THREAD_CPUTIME_ID) - start;
}

// The writer's work for a steady bus, one transaction of 100 lines a second, beside the same rows
// written through SQLite alone: CPU per line (the thread's own, whatever else the machine runs).
void BM_WriterSeconds(benchmark::State &state) {
    const std::vector<QList<ValueRecord>> seconds = steadySeconds();
    for (auto _ : state) {
        std::vector<double> bare, history;
        for (int round = 0; round < 3; ++round) {
            QTemporaryDir folder;
            const QString barePath = folder.filePath(QStringLiteral("bare.db"));
            HistoryDatabase(barePath).open({}); // the history's tables and indexes, empty
            bare.push_back(bareSecondsCpuMs(barePath, seconds));
            history.push_back(historySecondsCpuMs(folder.filePath(QStringLiteral("history.db")), seconds));
        }
        const double perLine = 1e3 / double(kSeconds * kSecondLines); // ms per run to µs per line
        state.counters["bare_us_per_line"] = median(bare) * perLine;
        state.counters["writer_us_per_line"] = median(history) * perLine;
        state.counters["ratio"] = median(history) / median(bare);
    }
}
BENCHMARK(BM_WriterSeconds)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- a month's chart -------------------------------------------------------------------------

constexpr qint64 kMinuteMs = 60 * 1000;
constexpr int kMonthMinutes = 30 * 24 * 60;
constexpr int kOtherObjects = 9; // at the same rate, so that the object's rows lie among others'
const QSize kChartSize(1000, 600);

// A history of 30 days: one value a minute for "768" (a temperature) and for nine other objects.
struct MonthHistory {
    QTemporaryDir folder;
    HistoryDatabase db{folder.filePath(QStringLiteral("verlauf.db"))};
    qint64 fromMs = 1714521600000; // 2024-05-01
    qint64 toMs = fromMs + qint64(kMonthMinutes) * kMinuteMs;

    MonthHistory() {
        db.open({90, 1000});
        QList<ValueRecord> batch;
        for (int minute = 0; minute < kMonthMinutes; ++minute) {
            const qint64 time = fromMs + minute * kMinuteMs;
            batch.append({time, QStringLiteral("768"),
                          QString::number(20 + 5 * std::sin(minute / 600.0) + (minute % 7) / 10.0, 'f', 1)});
            for (int other = 0; other < kOtherObjects; ++other)
                batch.append({time + other + 1, QString::number(2000 + other), QString::number(minute % 100)});
            if (batch.size() >= 20000) {
                db.write(batch, {});
                batch.clear();
            }
        }
        db.write(batch, {});
    }
};

MonthHistory &monthHistory() {
    static MonthHistory history;
    return history;
}

// The chart as the window makes it: the query, the chart data, the Qt Charts picture, drawn.
void BM_MonthChart(benchmark::State &state) {
    MonthHistory &month = monthHistory();
    QChartView view;
    view.resize(kChartSize);
    QImage image(kChartSize, QImage::Format_ARGB32_Premultiplied);
    int points = 0;
    for (auto _ : state) {
        const SeriesRows rows = month.db.series(QStringLiteral("768"), month.fromMs, month.toMs, 100000);
        const ChartData data = ChartData::from(rows);
        QChart *old = view.chart();
        view.setChart(ValueChart::build(data, QStringLiteral("768")));
        delete old;
        QCoreApplication::sendPostedEvents(); // the chart lays itself out
        QPainter painter(&image);
        view.render(&painter);
        points = int(rows.rows.size());
    }
    state.counters["values"] = points;
}
BENCHMARK(BM_MonthChart)->Unit(benchmark::kMillisecond)->MinTime(2);

// The bare baseline: the same values, already in memory, as one antialiased polyline in an image
// of the same size.
void BM_MonthPolyline(benchmark::State &state) {
    MonthHistory &month = monthHistory();
    bool more = false;
    const QList<ValueRecord> rows = month.db.rows(QStringLiteral("768"), month.fromMs, month.toMs, 100000, &more);
    QImage image(kChartSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPolygonF line;
        line.reserve(rows.size());
        for (const ValueRecord &row : rows)
            line.append(
                QPointF(double(row.timeMs - month.fromMs) / double(month.toMs - month.fromMs) * kChartSize.width(),
                        kChartSize.height() * (1 - (row.value.toDouble() - 14) / 12)));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawPolyline(line);
    }
    state.counters["values"] = double(rows.size());
}
BENCHMARK(BM_MonthPolyline)->Unit(benchmark::kMillisecond)->MinTime(2);
} // namespace

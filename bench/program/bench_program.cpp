// The whole program as users run it, measured from outside beside a bare tray program doing the
// same work in the same run: the built `quendra` is started as a child process with a home folder
// of its own, on a virtual X display (or offscreen), against a loopback gateway, and read through
// /proc. Prints, per program, the minimum and the median of the repetitions and the ratio of the
// medians:
// - at rest: resident memory, the time from the start to the first byte on the gateway, the shared
//   libraries loaded, and wake-ups and CPU per second while ten files a second change in the home;
// - a burst of 100,000 value lines: CPU per line, the memory peak above the resting figure, and the
//   longest answer of the event loop to a probe on the session bus (beside its answer at rest);
// - a steady bus of 100 lines a second: CPU per line.
// The CPU per line is the lines' own: what the program spends at rest (measured just before) is
// taken off for the time the lines took. The lines' time ends when the program is quiet again, so
// that what its threads do after the last line (the history writing its last rows) counts too; the
// share of the history's writer thread is printed beside.
//
// The programs find a system tray (a StatusNotifier tray on the benchmark's bus). Quendra runs
// twice: with its default settings, which show the window at the start, and set to start in the
// tray. Ratios are to the bare tray's median.
//
// Each program gets a /tmp of its own, empty and quiet (where the right to mount allows), so that the
// builds and tests other programs run in the machine's /tmp do not reach the figures of one that watches
// it; --machine-tmp measures with the machine's /tmp.
//
// --quendra measures another build of the program (the one before a change, say).
//
//   bench_program [--repetitions N] [--offscreen] [--machine-tmp] [--quendra PATH]
#include "BusProbes.h"
#include "ChildProcess.h"
#include "LoopbackGateway.h"
#include "ProcessStats.h"
#include "Subjects.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int kBurstLines = 100000;
constexpr int kSteadyLines = 500;
constexpr auto kSteadyInterval = 10ms; // 100 lines a second
constexpr auto kSettle = 4s;           // the start-up's own drain and boxes are over by then
constexpr auto kRestWindow = 10s;
constexpr auto kRestSample = 3s;
constexpr auto kFileChangeInterval = 100ms;
constexpr auto kMarkerTimeout = 120s;
constexpr auto kQuietWindow = 250ms;
constexpr qint64 kQuietCpuNs = 1'500'000; // in a quiet window: at most 0.6 % of a core
constexpr auto kQuietTimeout = 30s;
const QString kHistoryThread = u"Verlauf"_qs;

QByteArray busLine(int i) {
    return "2|" + QByteArray::number(1000 + i % 500) + '|' + QByteArray::number(i % 40) + ".5";
}

QByteArray markerLine(const QByteArray &value) {
    return "2|" + Subject::kMarkerNumber + '|' + value;
}

QByteArray burst(const QByteArray &markerValue) {
    QByteArray bytes;
    bytes.reserve(kBurstLines * 16);
    for (int i = 0; i < kBurstLines; ++i)
        bytes += busLine(i) + '\0';
    return bytes + markerLine(markerValue) + '\0';
}

// A figure per measure and program, one per repetition.
using Figures = std::map<QString, std::map<QString, std::vector<double>>>;

struct Environment {
    QString display; // empty: offscreen
    QString busAddress;
    bool quietTmp = false;
};

QStringList childEnvironment(const QString &home, const Environment &environment) {
    QStringList entries{u"HOME="_qs + home,
                        u"XDG_CONFIG_HOME="_qs + home + u"/.config"_qs,
                        u"XDG_CACHE_HOME="_qs + home + u"/.cache"_qs,
                        u"XDG_DATA_HOME="_qs + home + u"/.local/share"_qs,
                        u"XDG_RUNTIME_DIR="_qs + home + u"/run"_qs,
                        u"DBUS_SESSION_BUS_ADDRESS="_qs + environment.busAddress,
                        u"PATH="_qs + qEnvironmentVariable("PATH"),
                        u"LANG=C.UTF-8"_qs};
    if (environment.display.isEmpty())
        entries << u"QT_QPA_PLATFORM=offscreen"_qs;
    else
        entries << u"QT_QPA_PLATFORM=xcb"_qs << u"DISPLAY="_qs + environment.display;
    return entries;
}

// Ten changes a second in the home folder: a new file, the one before removed.
class FileChanges {
public:
    explicit FileChanges(QString folder) : m_folder(std::move(folder)) {
        m_thread = std::thread([this] {
            for (int i = 0; m_running; ++i) {
                QFile(QStringLiteral("%1/change-%2").arg(m_folder).arg(i - 1)).remove();
                QFile file(QStringLiteral("%1/change-%2").arg(m_folder).arg(i));
                if (file.open(QIODevice::WriteOnly))
                    file.write("x");
                std::this_thread::sleep_for(kFileChangeInterval);
            }
        });
    }
    ~FileChanges() {
        m_running = false;
        m_thread.join();
    }

private:
    QString m_folder;
    std::atomic<bool> m_running{true};
    std::thread m_thread;
};

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Waits until the program's threads are quiet (a window with next to no CPU), at most kQuietTimeout.
void waitUntilQuiet(pid_t pid) {
    const auto end = Clock::now() + kQuietTimeout;
    ProcessStats::Sample last = ProcessStats::sample(pid);
    while (Clock::now() < end) {
        std::this_thread::sleep_for(kQuietWindow);
        ProcessStats::Sample now = ProcessStats::sample(pid);
        if (now.cpuNs - last.cpuNs <= kQuietCpuNs)
            return;
        last = std::move(now);
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(values.size() / 2);
}

// One start of one program with every measurement; false when something did not come.
bool measure(Subject &subject, const Environment &environment, int repetition, Figures &figures) {
    const auto note = [&](const char *measure, double value) {
        figures[QString::fromLatin1(measure)][subject.name()].push_back(value);
    };
    const auto fail = [&](const char *what) {
        std::fprintf(stderr, "%s, repetition %d: %s\n", qPrintable(subject.name()), repetition, what);
        return false;
    };
    // Not in /tmp: a child with a /tmp of its own still finds its home.
    QTemporaryDir home(u"/var/tmp/quendra-bench-XXXXXX"_qs);
    LoopbackGateway gateway;
    if (!home.isValid() || !QDir().mkpath(home.path() + u"/run"_qs) ||
        !QFile::setPermissions(home.path() + u"/run"_qs, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
        !subject.prepare(home.path(), gateway.port()))
        return fail("no home folder");

    ChildProcess child;
    const auto started = Clock::now();
    const QStringList childArguments = subject.arguments(gateway.port());
    const QStringList childEnv = childEnvironment(home.path(), environment);
    if (!(environment.quietTmp ? child.startWithQuietTmp(subject.program(), childArguments, childEnv)
                               : child.start(subject.program(), childArguments, childEnv)))
        return fail("did not start");
    const auto firstByte = gateway.waitForFirstByte(30s);
    if (!firstByte)
        return fail("never connected");
    note("start-up to the first gateway byte (ms)", seconds(*firstByte - started) * 1000);
    std::this_thread::sleep_for(kSettle);
    const pid_t pid = child.pid();
    note("idle memory, RSS (MB)", double(ProcessStats::residentKb(pid)) / 1024);
    note("shared libraries loaded", ProcessStats::sharedLibraryCount(pid));
    // At rest, first alone, then while files change in the home folder.
    for (const bool changing : {false, true}) {
        const std::optional<FileChanges> changes =
            changing ? std::optional<FileChanges>(std::in_place, home.path()) : std::nullopt;
        const auto from = Clock::now();
        const ProcessStats::Sample before = ProcessStats::sample(pid);
        std::this_thread::sleep_for(kRestWindow);
        const ProcessStats::Sample after = ProcessStats::sample(pid);
        const double window = seconds(Clock::now() - from);
        const double wakeUps = double(ProcessStats::wakeUpsBetween(before, after)) / window;
        const double cpuMs = double(after.cpuNs - before.cpuNs) / 1e6 / window;
        note(changing ? "idle wake-ups, 10 file changes/s (1/s)" : "idle wake-ups, nothing happening (1/s)", wakeUps);
        note(changing ? "idle CPU, 10 file changes/s (ms/s)" : "idle CPU, nothing happening (ms/s)", cpuMs);
    }
    if (subject.restOnly()) {
        child.kill();
        return true;
    }

    // Every marker value of the run is new: the balloons of all programs land in one inbox.
    static int marker = 0;
    const auto nextMarker = [] {
        return QByteArray::number(++marker) + ".0";
    };

    // What the program spends at rest, just before a measurement: taken off the measured CPU time for
    // as long as the measurement lasted, so that the figure per line is the lines' own. (Whatever wakes
    // the program at rest, such as folder models watching busy folders, varies with the machine.)
    const auto restingCpuPerSecond = [pid] {
        waitUntilQuiet(pid);
        const auto from = Clock::now();
        const ProcessStats::Sample before = ProcessStats::sample(pid);
        std::this_thread::sleep_for(kRestSample);
        const ProcessStats::Sample after = ProcessStats::sample(pid);
        return double(after.cpuNs - before.cpuNs) / seconds(Clock::now() - from);
    };
    const auto linesCpuNs = [](const ProcessStats::Sample &before, const ProcessStats::Sample &after,
                               Clock::duration lasted, double restingPerSecond) {
        return std::max(0.0, double(after.cpuNs - before.cpuNs) - restingPerSecond * seconds(lasted));
    };

    // The burst: CPU and memory, without the probe's own cost.
    QByteArray value = nextMarker();
    double resting = restingCpuPerSecond();
    const qint64 restingKb = ProcessStats::residentKb(pid);
    ProcessStats::resetPeak(pid);
    ProcessStats::Sample before = ProcessStats::sample(pid);
    auto from = Clock::now();
    gateway.send(burst(value));
    if (!subject.waitForMarker(value, gateway, kMarkerTimeout))
        return fail("burst not through");
    waitUntilQuiet(pid);
    ProcessStats::Sample after = ProcessStats::sample(pid);
    const auto perLine = [](double ns, int lines) {
        return ns / 1e3 / (lines + 1);
    };
    const double burstNs = linesCpuNs(before, after, Clock::now() - from, resting);
    const double burstWriterNs = double(ProcessStats::threadCpuNsBetween(before, after, kHistoryThread));
    note("burst of 100,000 lines: CPU per line (us)", perLine(burstNs, kBurstLines));
    note("burst: CPU per line without the history writer (us)", perLine(burstNs - burstWriterNs, kBurstLines));
    note("burst: the history writer's CPU per line (us)", perLine(burstWriterNs, kBurstLines));
    note("burst: memory peak above rest (MB)", double(ProcessStats::peakResidentKb(pid) - restingKb) / 1024);

    // The same burst again, with the probe: first at rest, then through the burst.
    ResponsivenessProbe probe(environment.busAddress, subject.probeService());
    probe.start();
    std::this_thread::sleep_for(500ms);
    const std::vector<double> restingAnswers = probe.stop();
    value = nextMarker();
    probe.start();
    gateway.send(burst(value));
    const bool through = subject.waitForMarker(value, gateway, kMarkerTimeout);
    const std::vector<double> answers = probe.stop();
    if (!through || restingAnswers.empty() || answers.empty())
        return fail("no answers to the probe");
    note("burst: longest event-loop answer (ms)", *std::max_element(answers.begin(), answers.end()));
    note("resting event-loop answer, median (ms)", median(restingAnswers));

    // A steady bus.
    value = nextMarker();
    QList<QByteArray> lines;
    for (int i = 0; i < kSteadyLines; ++i)
        lines.append(busLine(i) + '\0');
    lines.append(markerLine(value) + '\0');
    resting = restingCpuPerSecond();
    before = ProcessStats::sample(pid);
    from = Clock::now();
    gateway.sendPaced(lines, kSteadyInterval);
    if (!subject.waitForMarker(value, gateway, kMarkerTimeout))
        return fail("steady lines not through");
    waitUntilQuiet(pid);
    after = ProcessStats::sample(pid);
    const double steadyNs = linesCpuNs(before, after, Clock::now() - from, resting);
    const double steadyWriterNs = double(ProcessStats::threadCpuNsBetween(before, after, kHistoryThread));
    note("steady bus, 100 lines/s: CPU per line (us)", perLine(steadyNs, kSteadyLines));
    note("steady bus: CPU per line without the history writer (us)", perLine(steadyNs - steadyWriterNs, kSteadyLines));
    note("steady bus: the history writer's CPU per line (us)", perLine(steadyWriterNs, kSteadyLines));

    const bool ended = child.terminate(30s);
    if (subject.name() == u"quendra"_qs && !ended)
        return fail("did not end by itself after SIGTERM");
    if (!subject.keptMarker(home.path(), value))
        return fail("the saved menu lacks the last value");
    return true;
}

// baseline: the program the ratios are to.
void print(const Figures &figures, const QStringList &names, const QString &baseline) {
    std::printf("\n%-58s", "measure (min / median)");
    for (const QString &name : names)
        std::printf(" %28s", qPrintable(name));
    for (const QString &name : names)
        if (name != baseline)
            std::printf("  ratio %-s", qPrintable(name));
    std::printf("\n");
    for (const auto &[measure, byProgram] : figures) {
        std::printf("%-58s", qPrintable(measure));
        for (const QString &name : names) {
            const auto found = byProgram.find(name);
            if (found == byProgram.end() || found->second.empty()) {
                std::printf(" %28s", "-");
                continue;
            }
            const auto &values = found->second;
            std::printf(" %13.3f / %12.3f", *std::min_element(values.begin(), values.end()), median(values));
        }
        const auto base = byProgram.find(baseline);
        for (const QString &name : names) {
            if (name == baseline)
                continue;
            const auto found = byProgram.find(name);
            const int width = int(name.size()) + 7;
            if (base != byProgram.end() && found != byProgram.end() && median(base->second) > 0)
                std::printf("  %*.2f", width - 1, median(found->second) / median(base->second));
            else
                std::printf("  %*s", width - 1, "-");
        }
        std::printf("\n");
    }
}

struct Options {
    int repetitions = 3;
    bool offscreen = false;
    bool machineTmp = false;
    QString quendra = QStringLiteral(QUENDRA_BINARY);
};

int run(const Options &options, const Environment &environment, BalloonInbox &balloons) {
    std::vector<std::unique_ptr<Subject>> subjects;
    subjects.push_back(quendraSubject(options.quendra, balloons, false));
    subjects.push_back(bareTraySubject(QStringLiteral(BARE_TRAY_BINARY), u"bare tray"_qs, false));
    subjects.push_back(quendraSubject(options.quendra, balloons, true));
#ifdef BARE_TRAY_WEBENGINE_BINARY
    subjects.push_back(
        bareTraySubject(QStringLiteral(BARE_TRAY_WEBENGINE_BINARY), u"bare tray + WebEngine linked"_qs, true));
#endif
    Figures figures;
    bool complete = true;
    for (int repetition = 0; repetition < options.repetitions; ++repetition) {
        // Alternating, so that a change of the machine's load meets every program alike, and each
        // repetition begins with the next program: a program started right after the bare tray
        // reaches the gateway 30-40 ms later, whichever it is, so no program may always sit there.
        for (std::size_t k = 0; k < subjects.size(); ++k) {
            Subject &subject = *subjects[(k + std::size_t(repetition)) % subjects.size()];
            complete = measure(subject, environment, repetition, figures) && complete;
        }
    }
    QStringList names;
    for (const auto &subject : subjects)
        names << subject->name();
    std::printf("quendra: %s\n", qPrintable(options.quendra));
    std::printf("%s, %s, %d repetitions\n", environment.display.isEmpty() ? "offscreen" : "Xvfb",
                environment.quietTmp ? "a quiet /tmp of their own" : "the machine's /tmp", options.repetitions);
    print(figures, names, u"bare tray"_qs);
    return complete ? 0 : 1;
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    Options options;
    options.repetitions = std::max(1, arguments.value(arguments.indexOf(u"--repetitions"_qs) + 1, u"3"_qs).toInt());
    options.offscreen = arguments.contains(u"--offscreen"_qs);
    options.machineTmp = arguments.contains(u"--machine-tmp"_qs);
    if (arguments.contains(u"--quendra"_qs))
        options.quendra = arguments.value(arguments.indexOf(u"--quendra"_qs) + 1);

    Environment environment;
    AnnouncingServer display = AnnouncingServer::virtualDisplay();
    if (!options.offscreen) {
        if (!display.start()) {
            std::fprintf(stderr, "Xvfb did not start; --offscreen measures without a display\n");
            return 1;
        }
        environment.display = display.address();
    }
    AnnouncingServer bus = AnnouncingServer::sessionBus();
    if (!bus.start()) {
        std::fprintf(stderr, "dbus-daemon did not start\n");
        return 1;
    }
    environment.busAddress = bus.address();
    environment.quietTmp = !options.machineTmp && ChildProcess::quietTmpAvailable();
    if (!options.machineTmp && !environment.quietTmp)
        std::fprintf(stderr, "no /tmp of their own for the programs (it takes the right to mount): they see "
                             "what other programs do in the machine's /tmp\n");
    const StatusNotifierWatcher tray(bus.address());
    if (!tray.isRegistered()) {
        std::fprintf(stderr, "the tray could not be registered on the bus\n");
        return 1;
    }
    BalloonInbox balloons;
    const NotificationSink sink(bus.address(), [&balloons](const QString &body) { balloons.add(body); });
    if (!sink.isRegistered()) {
        std::fprintf(stderr, "the notification service could not be registered\n");
        return 1;
    }

    int exitCode = 0;
    // The measuring blocks; the notification service answers from this thread's event loop.
    std::thread measuring([&] {
        exitCode = run(options, environment, balloons);
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    measuring.join();
    return exitCode;
}

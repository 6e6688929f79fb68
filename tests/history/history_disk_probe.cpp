// Records value lines into the history in <folder> until the disk is full, goes on recording
// while paused, mutes an object, frees the space held by <filler>, and records until the history
// resumes. Prints what the history reports, one line each ("problem: …", "recording: 0|1"), and
// ends with exit code 0 when it got through, 3 when a phase did not end in time.
#include "History.h"
#include "MuteList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace {
void say(const QString &line) {
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString filler = QString::fromLocal8Bit(argv[2]);
    HistoryOptions options;
    options.retryIntervalMs = 200;
    // The disk is what fills here, not the hand-over: a writer slowed by a busy machine must not
    // also fall behind this budget, which would add a gap of its own.
    options.maxLinesInFlight = 20'000'000;
    options.maxBytesInFlight = qint64(4) * 1024 * 1024 * 1024;
    History history(folder, options);
    enum class Phase { Filling, Paused, Freed, Done } phase = Phase::Filling;
    int pausedPasses = 0;
    qint64 line = 0;
    QObject::connect(&history, &History::problem, [](const QString &text) { say(u"problem: "_qs + text); });
    QObject::connect(&history, &History::recordingChanged, [&](bool recording) {
        say(u"recording: "_qs + (recording ? u'1' : u'0'));
        if (!recording && phase == Phase::Filling)
            phase = Phase::Paused;
        if (recording && phase == Phase::Freed)
            phase = Phase::Done;
    });
    // One pass of the event loop: a batch of lines as the link would hand them over.
    QTimer pass;
    pass.setInterval(0);
    QObject::connect(&pass, &QTimer::timeout, [&] {
        const int lines = phase == Phase::Filling ? 2000 : 20;
        for (int i = 0; i < lines; ++i, ++line)
            history.recordValue(QString::number(1000 + line % 50),
                                QStringLiteral("%1 %2").arg(line).arg(QString(20, u'x')));
        if (phase == Phase::Paused && ++pausedPasses == 20) {
            // What was handed over while the disk filled is dropped first; then the program goes
            // on: a mute is saved (or its failure reported, the old file kept), and space is freed.
            pass.stop();
            history.afterWrites(&app, [&] {
                history.mutes().muteForOneHour(u"768"_qs, QDateTime::currentDateTimeUtc());
                QFile::remove(filler);
                say(u"freed"_qs);
                phase = Phase::Freed;
                pass.start(50);
            });
        }
        if (phase == Phase::Done) {
            pass.stop();
            QObject::connect(&history, &History::closed, &app, &QCoreApplication::quit);
            history.close();
        }
    });
    pass.start();
    QTimer::singleShot(90000, &app, [] {
        say(u"timed out"_qs);
        QCoreApplication::exit(3);
    });
    return app.exec();
}

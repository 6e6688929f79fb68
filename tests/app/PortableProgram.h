#pragma once

#include "AppHarness.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <csignal>

// A portable installation of the real program: the program, its help and "quendra.ini" in one
// folder, run headless with an autostart folder of its own.
struct PortableProgram {
    ~PortableProgram() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    bool install(const QByteArray &settings, bool withHelp = true) {
        return QFile::copy(QStringLiteral(QUENDRA_BINARY), folder.file(u"quendra"_qs)) &&
               (!withHelp ||
                (QDir().mkpath(folder.file(u"help"_qs)) && QFile::copy(QStringLiteral(QUENDRA_HELP_DIR "/quendra.html"),
                                                                       folder.file(u"help/quendra.html"_qs)))) &&
               folder.write(u"quendra.ini"_qs, settings);
    }
    // Whether the running program has its own handler for the signal (the kernel's list of caught
    // signals); before that a signal would kill it.
    bool catches(int signalNumber) const {
        QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
        return false;
    }
    bool start() {
        // A session of its own: on the desktop's bus a running Quendra would take this start's place.
        if (!bus.start())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        env.insert(u"XDG_CONFIG_HOME"_qs, config.path());
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs, bus.address());
        process.setProcessEnvironment(env);
        process.start(folder.file(u"quendra"_qs), {});
        return process.waitForStarted();
    }
    // Sends the signal; true when the program then ends by itself, normally and with code 0.
    bool endsCleanlyOn(int signalNumber) {
        QSignalSpy finished(&process, &QProcess::finished);
        ::kill(pid_t(process.processId()), signalNumber);
        return finished.wait(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    QList<QByteArray> settingsLines() const { return AppHarness::lines(folder.read(u"quendra.ini"_qs)); }

    PrivateSessionBus bus;
    TempProgramFolder folder;
    QTemporaryDir config;
    QProcess process;
};

#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <sys/types.h>

// A program started with an environment of its own and measured from outside. posix_spawn, not
// QProcess: the benchmark's thread never runs an event loop, and nothing of Qt sits between the
// start and the child.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // environment: "NAME=value" entries, the whole environment of the child. extraFd, when not -1,
    // is handed to the child as descriptor 3.
    bool start(const QString &program, const QStringList &arguments, const QStringList &environment, int extraFd = -1);
    // The same with a /tmp of the child's own, empty and private (a mount namespace of its own):
    // what other programs do in the machine's /tmp does not reach a program that watches it.
    bool startWithQuietTmp(const QString &program, const QStringList &arguments, const QStringList &environment);
    // Whether startWithQuietTmp() works here (it needs the right to mount, as root has).
    static bool quietTmpAvailable();
    pid_t pid() const { return m_pid; }
    bool isRunning();
    // SIGTERM, then waits; true when it ended by itself with exit code 0 in time.
    bool terminate(std::chrono::milliseconds timeout);
    void kill();

private:
    bool waitForExit(std::chrono::milliseconds timeout, int *status);

    pid_t m_pid = -1;
};

// A server that says where it listens on descriptor 3 once it takes connections: Xvfb on a display
// number it chooses itself (":N"), a D-Bus session bus of the benchmark's own (its address). Its
// socket is not in /tmp, so that children with a /tmp of their own reach it. Stopped with the object.
class AnnouncingServer {
public:
    static AnnouncingServer virtualDisplay();
    static AnnouncingServer sessionBus();
    bool start();
    const QString &address() const { return m_address; }

private:
    AnnouncingServer(QString program, QStringList arguments, QString prefix);

    QString m_program;
    QStringList m_arguments;
    QString m_prefix;
    std::unique_ptr<ChildProcess> m_server;
    QString m_address;
};

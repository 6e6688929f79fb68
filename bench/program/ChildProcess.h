#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
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
    pid_t pid() const { return m_pid; }
    bool isRunning();
    // SIGTERM, then waits; true when it ended by itself with exit code 0 in time.
    bool terminate(std::chrono::milliseconds timeout);
    void kill();

private:
    bool waitForExit(std::chrono::milliseconds timeout, int *status);

    pid_t m_pid = -1;
};

// Xvfb on a display number it chooses itself; stopped with the object.
class VirtualDisplay {
public:
    ~VirtualDisplay() = default;
    bool start();
    // ":N"
    const QString &name() const { return m_name; }

private:
    ChildProcess m_server;
    QString m_name;
};

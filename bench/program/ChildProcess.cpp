#include "ChildProcess.h"

#include <QByteArrayList>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
std::vector<char *> pointers(QByteArrayList &strings) {
    std::vector<char *> result;
    for (QByteArray &s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}
} // namespace

ChildProcess::~ChildProcess() {
    kill();
}

bool ChildProcess::start(const QString &program, const QStringList &arguments, const QStringList &environment,
                         int extraFd) {
    QByteArrayList argv{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        argv.append(argument.toLocal8Bit());
    QByteArrayList envp;
    for (const QString &entry : environment)
        envp.append(entry.toLocal8Bit());
    std::vector<char *> argvPointers = pointers(argv);
    std::vector<char *> envPointers = pointers(envp);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (extraFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
    const int failed =
        ::posix_spawn(&m_pid, argv.first().constData(), &actions, nullptr, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        m_pid = -1;
    return m_pid > 0;
}

bool ChildProcess::isRunning() {
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return false;
    }
    return true;
}

bool ChildProcess::waitForExit(std::chrono::milliseconds timeout, int *status) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (::waitpid(m_pid, status, WNOHANG) == m_pid) {
            m_pid = -1;
            return true;
        }
        // A benchmark's own thread; nothing else waits on it.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool ChildProcess::terminate(std::chrono::milliseconds timeout) {
    if (m_pid <= 0)
        return false;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    if (!waitForExit(timeout, &status)) {
        kill();
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ChildProcess::kill() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}

bool ChildProcess::startWithQuietTmp(const QString &program, const QStringList &arguments,
                                     const QStringList &environment) {
    // unshare and sh replace themselves by the program: the process started is the program.
    return start(u"/usr/bin/unshare"_qs,
                 QStringList{u"--mount"_qs, u"--propagation"_qs, u"private"_qs, u"--"_qs, u"/bin/sh"_qs, u"-c"_qs,
                             u"mount -t tmpfs -o size=64m quiet-tmp /tmp && exec \"$0\" \"$@\""_qs, program} +
                     arguments,
                 environment);
}

bool ChildProcess::quietTmpAvailable() {
    ChildProcess probe;
    if (!probe.start(u"/usr/bin/unshare"_qs,
                     {u"--mount"_qs, u"--propagation"_qs, u"private"_qs, u"--"_qs, u"/bin/sh"_qs, u"-c"_qs,
                      u"mount -t tmpfs quiet-tmp /tmp"_qs},
                     {u"PATH=/usr/bin:/bin"_qs}))
        return false;
    int status = 0;
    return probe.waitForExit(std::chrono::seconds(10), &status) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

AnnouncingServer::AnnouncingServer(QString program, QStringList arguments, QString prefix)
    : m_program(std::move(program)), m_arguments(std::move(arguments)), m_prefix(std::move(prefix)),
      m_server(std::make_unique<ChildProcess>()) {
}

AnnouncingServer AnnouncingServer::virtualDisplay() {
    // The display's socket in the abstract namespace is what clients on Linux use first.
    return AnnouncingServer(
        QStandardPaths::findExecutable(u"Xvfb"_qs),
        {u"-displayfd"_qs, u"3"_qs, u"-screen"_qs, u"0"_qs, u"1280x1024x24"_qs, u"-nolisten"_qs, u"tcp"_qs}, u":"_qs);
}

AnnouncingServer AnnouncingServer::sessionBus() {
    return AnnouncingServer(
        QStandardPaths::findExecutable(u"dbus-daemon"_qs),
        {u"--session"_qs, u"--nofork"_qs, u"--print-address=3"_qs, u"--address=unix:dir=/var/tmp"_qs}, {});
}

bool AnnouncingServer::start() {
    int pipe[2];
    if (m_program.isEmpty() || ::pipe(pipe) != 0)
        return false;
    const bool started = m_server->start(m_program, m_arguments, {u"PATH=/usr/bin:/bin"_qs}, pipe[1]);
    ::close(pipe[1]);
    QByteArray line;
    pollfd fd{pipe[0], POLLIN, 0};
    while (started && ::poll(&fd, 1, 10000) > 0) {
        char c = 0;
        if (::read(pipe[0], &c, 1) != 1 || c == '\n')
            break;
        line.append(c);
    }
    ::close(pipe[0]);
    if (line.isEmpty())
        return false;
    m_address = m_prefix + QString::fromLatin1(line);
    return true;
}

#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}
} // namespace

bool TerminationSignals::install() {
    if (g_pipe[0] >= 0)
        return true;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {
    if (g_pipe[0] < 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    // Level-triggered: signals that came before this object existed are reported too.
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
}

void TerminationSignals::readPipe() {
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit terminationRequested(static_cast<unsigned char>(byte));
}

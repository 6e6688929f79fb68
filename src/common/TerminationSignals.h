#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT as a Qt signal on the GUI thread, so that they end the program through its
// orderly closing sequence. The handler only writes the signal number into a pipe (the one thing
// that is safe inside a signal handler); a socket notifier reads it in the event loop.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; call once, early. A signal that arrives before an instance exists
    // waits in the pipe. False when the pipe or the handlers could not be set up.
    static bool install();

    explicit TerminationSignals(QObject *parent = nullptr);

signals:
    void terminationRequested(int signalNumber);

private:
    void readPipe();
    QSocketNotifier *m_notifier = nullptr;
};

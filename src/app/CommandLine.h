#pragma once

#include <QString>
#include <QStringList>

// The program's own options: "--help" and "--version" (answered without opening a window, so they
// work without a display); every other option is refused. The session manager's "-session <id>",
// with which it restarts a saved session, belongs to Qt and is passed on.
class CommandLine {
public:
    enum class Request { Run, Help, Version, Invalid };

    // arguments without the program name.
    static CommandLine parse(const QStringList &arguments);

    Request request() const { return m_request; }
    // The one-line error for Invalid.
    const QString &error() const { return m_error; }

    // What the program prints for Help and Version (the version on the first line, then the
    // licence); helpFile is the help the window would open.
    static QString helpText(const QString &helpFile);
    static QString versionText();

    // The exit code of an invalid command line (as usual for a usage error).
    static constexpr int kUsageError = 2;

private:
    Request m_request = Request::Run;
    QString m_error;
};

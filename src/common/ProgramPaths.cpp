#include "ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

ProgramPaths::ProgramPaths(const QString &programFolder) : m_folder(QDir::toNativeSeparators(programFolder)) {
    if (!m_folder.endsWith(separator()))
        m_folder += separator();
}

ProgramPaths ProgramPaths::detect() {
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(QDir(beside).filePath(QStringLiteral("quendra.ini"))))
        return ProgramPaths(beside);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString folder = QDir(config).filePath(QStringLiteral("quendra"));
    QDir().mkpath(folder);
    return ProgramPaths(folder);
}

QString ProgramPaths::programFile() {
    return QCoreApplication::applicationFilePath();
}

QString ProgramPaths::helpFile() {
    return helpFileFor(QCoreApplication::applicationDirPath());
}

QString ProgramPaths::helpFileFor(const QString &programFolder) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("help/quendra.html"));
    if (QFileInfo::exists(beside))
        return beside;
    // Installed: the program in <prefix>/bin, its data in <prefix>/share/quendra (also below a
    // staging folder, so the path is taken relative to the program, not from the build's prefix).
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../share/quendra/help/quendra.html")));
    return QFileInfo::exists(installed) ? installed : beside;
}

QString ProgramPaths::browserPlugin() {
    const QString named = qEnvironmentVariable("QUENDRA_BROWSER_PLUGIN");
    return named.isEmpty() ? browserPluginFor(QCoreApplication::applicationDirPath()) : named;
}

QString ProgramPaths::browserPluginFor(const QString &programFolder) {
    const QString name = QStringLiteral("libquendra_browser.so");
    const QDir folder(programFolder);
    const QString beside = folder.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    // Installed: a private library folder beside "bin" (src/webcheck/CMakeLists.txt installs it there).
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../lib/quendra/plugins/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

QChar ProgramPaths::separator() {
    return QDir::separator();
}

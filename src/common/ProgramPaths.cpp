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

namespace {
// The plugin the variable names, else the one of the running program.
QString namedOrBeside(const char *variable, const QString &fileName) {
    const QString named = qEnvironmentVariable(variable);
    return named.isEmpty() ? ProgramPaths::pluginFor(QCoreApplication::applicationDirPath(), fileName) : named;
}
} // namespace

QString ProgramPaths::browserPlugin() {
    return namedOrBeside("QUENDRA_BROWSER_PLUGIN", QStringLiteral("libquendra_browser.so"));
}

QString ProgramPaths::browserPluginFor(const QString &programFolder) {
    return pluginFor(programFolder, QStringLiteral("libquendra_browser.so"));
}

QString ProgramPaths::mailPlugin() {
    return namedOrBeside("QUENDRA_MAIL_PLUGIN", QStringLiteral("libquendra_mailbox.so"));
}

QString ProgramPaths::chartPlugin() {
    return namedOrBeside("QUENDRA_CHART_PLUGIN", QStringLiteral("libquendra_chart.so"));
}

QString ProgramPaths::pluginFor(const QString &programFolder, const QString &fileName) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(fileName);
    if (QFileInfo::exists(beside))
        return beside;
    // Installed: a private library folder beside "bin" (the plugins' CMake files install them there).
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../lib/quendra/plugins/") + fileName));
    return QFileInfo::exists(installed) ? installed : beside;
}

QChar ProgramPaths::separator() {
    return QDir::separator();
}

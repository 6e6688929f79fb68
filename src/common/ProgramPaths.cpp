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

QChar ProgramPaths::separator() {
    return QDir::separator();
}

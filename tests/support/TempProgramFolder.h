#pragma once

#include "ProgramPaths.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A program folder of its own for one test, removed afterwards.
class TempProgramFolder {
public:
    TempProgramFolder();

    bool isValid() const { return m_dir.isValid(); }
    // Ends with the separator, as the program's folder texts do.
    QString path() const;
    ProgramPaths paths() const { return ProgramPaths(path()); }
    QString file(const QString &name) const { return path() + name; }
    QString settingsFile() const { return file(QStringLiteral("quendra.ini")); }

    // Raw bytes, as a file on disk holds them (Windows-1252 for the INI files).
    bool write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

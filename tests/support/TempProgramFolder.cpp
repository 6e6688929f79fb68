#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>

TempProgramFolder::TempProgramFolder() : m_dir(QDir::tempPath() + QStringLiteral("/quendra-test-XXXXXX")) {
}

QString TempProgramFolder::path() const {
    return m_dir.path() + QDir::separator();
}

bool TempProgramFolder::write(const QString &name, const QByteArray &bytes) const {
    QFile f(file(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray TempProgramFolder::read(const QString &name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

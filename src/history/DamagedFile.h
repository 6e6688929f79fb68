#pragma once

#include <QDateTime>
#include <QString>

// A damaged database file is kept for whoever wants to rescue it, under a name beside it that no
// program opens by chance: "<name>.beschädigt-<time>" (its write-ahead log moves along as
// "<new name>-wal", where SQLite looks for it).
namespace DamagedFile {
struct Moved {
    bool ok = false;
    QString newPath; // where the file is now
    QString reason;  // why it could not be moved
};
// The name for a file damaged at `when` (local time, seconds).
QString nameFor(const QString &path, const QDateTime &when);
// Moves the file and its log aside; a name already taken gets "-2", "-3", …
Moved moveAside(const QString &path, const QDateTime &when);
} // namespace DamagedFile

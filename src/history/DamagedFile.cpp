#include "DamagedFile.h"

#include "HistoryTexts.h"

#include <QFile>

namespace {
// The companions SQLite keeps beside a database: the log moves with it, the index of the log is
// rebuilt from the log and goes.
const QString kLogSuffixes[] = {QStringLiteral("-wal"), QStringLiteral("-journal")};
const QString kIndexSuffix = QStringLiteral("-shm");
constexpr int kMaxTries = 100;
} // namespace

namespace DamagedFile {
QString nameFor(const QString &path, const QDateTime &when) {
    return path + HistoryTexts::kDamagedSuffix + when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

Moved moveAside(const QString &path, const QDateTime &when) {
    const QString base = nameFor(path, when);
    for (int attempt = 1; attempt <= kMaxTries; ++attempt) {
        const QString target = attempt == 1 ? base : QStringLiteral("%1-%2").arg(base).arg(attempt);
        if (QFile::exists(target))
            continue;
        QFile file(path);
        if (!file.rename(target))
            return {false, {}, file.errorString()};
        // A log left behind would be replayed into the new file: it moves along or goes.
        for (const QString &suffix : kLogSuffixes) {
            QFile log(path + suffix);
            if (log.exists() && !log.rename(target + suffix) && !log.remove())
                return {false, target, log.errorString()};
        }
        QFile::remove(path + kIndexSuffix);
        return {true, target, {}};
    }
    return {false, {}, QStringLiteral("%1 …-%2").arg(base).arg(kMaxTries)};
}
} // namespace DamagedFile

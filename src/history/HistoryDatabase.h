#pragma once

#include "HistoryBatch.h"
#include "HistoryRecords.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class HistoryDatabaseRows;
class QSqlError;
class QSqlQuery;

// The history's SQLite file, through one Qt SQL connection of its own, used on one thread only
// (the history's writer thread; tests may drive it directly).
//
// The file is opened in exclusive locking mode with a write-ahead log (the log's index then lives
// in memory, not in a shared-memory file). The log is folded back into the file and started over
// when it passes an eighth of the size limit (at most kMaxLogBytes; its file is cut back to that
// size), and the file is held to the rest by SQLite itself (its page limit); rows are dropped,
// oldest first, before that is reached. So the file and its log together stay within the limit.
//
// The value rows are written through SQLite's own interface on the same connection
// (HistoryDatabaseRows), the rest through Qt's.
class HistoryDatabase {
public:
    enum class Outcome {
        Ok,
        Damaged, // the file is no database or a damaged one: move it aside and start anew
        Full,    // the disk is full
        Newer,   // a newer program's file: left alone
        Failed,  // any other failure, with the reason
    };
    struct Status {
        Outcome outcome = Outcome::Ok;
        QString reason; // the system's text (German where we have our own)
        bool ok() const { return outcome == Outcome::Ok; }
    };

    // At most this many rows and bytes go into one transaction: bounds the write-ahead log of one
    // batch and keeps a batch well below the smallest size limit.
    static constexpr int kMaxRowsPerTransaction = 10000;
    static constexpr qint64 kMaxBytesPerTransaction = 2 * 1024 * 1024;
    static constexpr qint64 kMaxLogBytes = 1024 * 1024;
    // Longer values and event texts are cut (and say so at their end).
    static constexpr int kMaxValueChars = 64 * 1024;
    static constexpr int kMaxEventTextChars = 4000;
    // A search looks through at most this many of the newest events.
    static constexpr qint64 kSearchScanBudget = 200000;

    // How the value rows are bound: through SQLite's own interface where Qt's driver runs the
    // program's library (else through Qt's), or always through Qt's, as with a driver that brings
    // a library of its own.
    enum class RowBinding { Fastest, ThroughQt };

    explicit HistoryDatabase(QString path, RowBinding binding = RowBinding::Fastest);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase &) = delete;
    HistoryDatabase &operator=(const HistoryDatabase &) = delete;

    const QString &path() const { return m_path; }
    // Opens or creates the file, checks it and applies the limits. On failure it is closed again.
    Status open(const HistoryLimits &limits);
    void close();
    bool isOpen() const { return m_open; }

    // Appends the rows in their order, making room within the size limit first where needed.
    Status writeBlock(const ValueBlock &values, const QList<EventRecord> &events);
    Status write(const QList<ValueRecord> &values, const QList<EventRecord> &events) {
        return writeBlock(ValueBlock::of(values), events);
    }
    // Drops rows older than the limit's days and, beyond its size, the oldest rows.
    Status enforceLimits(qint64 nowMs);
    // New limits; a smaller size shrinks the file.
    Status setLimits(const HistoryLimits &limits, qint64 nowMs);
    Status markAllRead();
    int unreadCount();

    EventPage events(const EventFilter &filter);
    // The values of one object in [fromMs, toMs), condensed beyond maxRows.
    SeriesRows series(const QString &gan, qint64 fromMs, qint64 toMs, int maxRows);
    // The same rows uncondensed, at most `limit`; *more says whether the range holds more.
    QList<ValueRecord> rows(const QString &gan, qint64 fromMs, qint64 toMs, int limit, bool *more);
    // Hands the same rows to `take` one by one, at most `limit` (or until take says no): for
    // answers too large to hold. True when the range holds more than `limit`.
    bool forEachRow(const QString &gan, qint64 fromMs, qint64 toMs, qint64 limit,
                    const std::function<bool(const ValueRecord &)> &take);
    // Objects with rows in the history, in number order: at most kMaxListedObjects + 1 (one more
    // than the lists offer says that there are more).
    QStringList objects();

    qint64 fileBytes() const;
    qint64 logBytes() const;
    // Pages of the file in use (not free), and the page limit.
    qint64 usedPages();
    qint64 maxPages() const { return m_maxPages; }

private:
    Status exec(const QString &sql);
    // A statement the writing runs for every batch, compiled once per open file; nullptr (with
    // *failed set) when it cannot be compiled.
    QSqlQuery *statement(const QString &sql, Status *failed);
    Status execStatement(const QString &sql);
    Status fail(const QSqlError &error);
    Status fail(int code, const QString &reason);
    enum class Fold { Truncate, KeepLog };
    Status checkpoint(Fold fold = Fold::Truncate);
    void foldLogWhenLarge();
    Status transaction(const std::function<Status()> &work);
    // The lines of `values` from byte offset `from` to `to`, and the events, in one transaction.
    Status insert(const ValueBlock &values, qsizetype from, qsizetype to, const QList<EventRecord> &events);
    Status insertValue(const ValueBlock::Line &line);
    Status noteNewest(const QHash<QStringView, qint64> &newest);
    void useSqliteDirectly();
    Status makeRoom(qint64 targetPages);
    Status dropOlderThan(const QString &table, qint64 cutoffMs, qint64 *dropped);
    Status forgetVanishedObjects();
    qint64 pragma(const QString &name);
    qint64 lowPages() const { return m_maxPages * 3 / 4; }
    qint64 highPages() const { return m_maxPages * 9 / 10; }

    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
    QHash<QString, QSqlQuery> m_statements;
    // The rows through SQLite's own interface when Qt's driver runs the same library, else null
    // (and the rows go through Qt's).
    std::unique_ptr<HistoryDatabaseRows> m_rows;
    RowBinding m_binding;
    bool m_open = false;
    HistoryLimits m_limits;
    qint64 m_pageSize = 4096;
    qint64 m_maxPages = 0;
    qint64 m_logLimit = kMaxLogBytes;
};

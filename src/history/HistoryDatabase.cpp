#include "HistoryDatabase.h"

#include "HistoryDatabaseRows.h"
#include "HistoryTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <limits>
#include <sqlite3.h>

namespace {
const QString kDriver = QStringLiteral("QSQLITE");
constexpr int kSchemaVersion = 1;
// Rounds of dropping the oldest rows before giving up (each drops a share of the rows).
constexpr int kMaxPruneRounds = 64;
constexpr qint64 kMaxRowsPerDelete = 20000;
constexpr qint64 kRowOverheadBytes = 48; // time, number, record and index entries of one row

// SQLite's primary result codes that matter here.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteNotADatabase = 26;

const char *const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS value_lines(id INTEGER PRIMARY KEY, time INTEGER NOT NULL, gan TEXT NOT NULL, "
    "value TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS value_lines_time ON value_lines(time)",
    "CREATE INDEX IF NOT EXISTS value_lines_gan ON value_lines(gan, time)",
    "CREATE TABLE IF NOT EXISTS events(id INTEGER PRIMARY KEY, time INTEGER NOT NULL, kind TEXT NOT NULL, "
    "gan TEXT NOT NULL, text TEXT NOT NULL, read INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS events_time ON events(time)",
    "CREATE INDEX IF NOT EXISTS events_unread ON events(id) WHERE read = 0",
    // Every object with rows, and the time of its newest: the object lists without a scan.
    "CREATE TABLE IF NOT EXISTS objects(gan TEXT PRIMARY KEY, last INTEGER NOT NULL) WITHOUT ROWID",
};

QString connectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("quendra-history-%1").arg(++counter);
}

QString cut(const QString &text, int maxChars) {
    return text.size() <= maxChars ? text : text.left(maxChars) + HistoryTexts::kCut;
}
QString cut(QStringView text, int maxChars) {
    return text.size() <= maxChars ? text.toString() : text.left(maxChars).toString() + HistoryTexts::kCut;
}

// Qt binds a null text as NULL; the columns hold texts, empty ones too.
QString notNull(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

qint64 rowBytes(const ValueBlock::Line &row) {
    return kRowOverheadBytes + 2 * (row.gan.size() + row.value.size());
}
} // namespace

HistoryDatabase::HistoryDatabase(QString path, RowBinding binding)
    : m_path(std::move(path)), m_connection(connectionName()), m_binding(binding) {
}

HistoryDatabase::~HistoryDatabase() {
    close();
}

HistoryDatabase::Status HistoryDatabase::open(const HistoryLimits &limits) {
    close();
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return {Outcome::Failed, HistoryTexts::kNoDriver};
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return {Outcome::Failed, QStringLiteral("%1: %2").arg(folder, qt_error_string(errno))};
    const bool created = !QFileInfo::exists(m_path);
    m_db = QSqlDatabase::addDatabase(kDriver, m_connection);
    m_db.setDatabaseName(m_path);
    if (!m_db.open()) {
        const Status status = fail(m_db.lastError());
        close();
        return status;
    }
    m_open = true;
    // Values can tell who mailed or who is at home: the file is its owner's alone (its log takes
    // the same rights).
    if (created || QFileInfo(m_path).size() == 0)
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const Status status = [this]() -> Status {
        // Exclusive before the log is switched on: its index then stays in this process's memory.
        if (Status s = exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE")); !s.ok())
            return s;
        // Checked before anything is written, so that a damaged file is moved aside as it was.
        QSqlQuery query(m_db);
        if (!query.exec(QStringLiteral("PRAGMA quick_check(1)")))
            return fail(query.lastError());
        if (!query.next() || query.value(0).toString() != u"ok")
            return {Outcome::Damaged, query.value(0).toString()};
        query.finish();
        // Free pages can be given back (a smaller limit) only when the file was made for it.
        if (pragma(QStringLiteral("page_count")) == 0)
            if (Status s = exec(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL")); !s.ok())
                return s;
        if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
            return fail(query.lastError());
        if (!query.next() || query.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
            return {Outcome::Failed, QStringLiteral("journal_mode=WAL")};
        query.finish();
        for (const char *setting :
             {"PRAGMA synchronous=NORMAL", "PRAGMA wal_autocheckpoint=0", "PRAGMA cache_size=-16384"})
            if (Status s = exec(QString::fromLatin1(setting)); !s.ok())
                return s;
        if (pragma(QStringLiteral("user_version")) > kSchemaVersion)
            return {Outcome::Newer, HistoryTexts::kNewerFile}; // left alone
        if (Status s = transaction([this] {
                for (const char *statement : kSchema)
                    if (Status inner = exec(QString::fromLatin1(statement)); !inner.ok())
                        return inner;
                return exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion));
            });
            !s.ok())
            return s;
        m_pageSize = std::max<qint64>(512, pragma(QStringLiteral("page_size")));
        useSqliteDirectly();
        foldLogWhenLarge();
        return Status{};
    }();
    if (!status.ok()) {
        close();
        return status;
    }
    m_limits = {};
    m_maxPages = 0;
    return setLimits(limits, 0);
}

void HistoryDatabase::close() {
    m_rows.reset(); // the statements before the connection goes
    m_statements.clear();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_open = false;
}

HistoryDatabase::Status HistoryDatabase::exec(const QString &sql) {
    QSqlQuery query(m_db);
    if (!query.exec(sql))
        return fail(query.lastError());
    while (query.next()) { // some statements (incremental_vacuum) work as their rows are stepped
    }
    return {};
}

QSqlQuery *HistoryDatabase::statement(const QString &sql, Status *failed) {
    auto found = m_statements.find(sql);
    if (found == m_statements.end()) {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(sql)) {
            *failed = fail(query.lastError());
            return nullptr;
        }
        found = m_statements.insert(sql, std::move(query));
    }
    return &found.value();
}

HistoryDatabase::Status HistoryDatabase::execStatement(const QString &sql) {
    Status status;
    QSqlQuery *query = statement(sql, &status);
    if (!query)
        return status;
    if (!query->exec())
        status = fail(query->lastError());
    query->finish();
    return status;
}

HistoryDatabase::Status HistoryDatabase::fail(const QSqlError &error) {
    return fail(error.nativeErrorCode().toInt(), error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

HistoryDatabase::Status HistoryDatabase::fail(int nativeCode, const QString &reason) {
    const int code = nativeCode & 0xff;
    if (code == kSqliteCorrupt || code == kSqliteNotADatabase)
        return {Outcome::Damaged, reason};
    if (code == kSqliteFull)
        return {Outcome::Full, HistoryTexts::kDiskFull};
    return {Outcome::Failed, reason};
}

qint64 HistoryDatabase::pragma(const QString &name) {
    Status failed;
    QSqlQuery *query = statement(QStringLiteral("PRAGMA ") + name, &failed);
    if (!query || !query->exec() || !query->next())
        return -1;
    const qint64 value = query->value(0).toLongLong();
    query->finish(); // a statement left open would hold its read of the file
    return value;
}

qint64 HistoryDatabase::usedPages() {
    return pragma(QStringLiteral("page_count")) - pragma(QStringLiteral("freelist_count"));
}

qint64 HistoryDatabase::fileBytes() const {
    return QFileInfo(m_path).size();
}

qint64 HistoryDatabase::logBytes() const {
    return QFileInfo(m_path + QStringLiteral("-wal")).size();
}

// Folds the log back into the file; the log then starts over from its beginning. Truncated, it is
// also cut to nothing (else it keeps its blocks, at most journal_size_limit, for the next rows).
HistoryDatabase::Status HistoryDatabase::checkpoint(Fold fold) {
    QSqlQuery query(m_db);
    if (!query.exec(fold == Fold::Truncate ? QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")
                                           : QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")))
        return fail(query.lastError());
    return {};
}

// BEGIN and COMMIT as statements of their own: QSqlDatabase::commit() drops SQLite's error code,
// and a commit is where a full disk shows.
HistoryDatabase::Status HistoryDatabase::transaction(const std::function<Status()> &work) {
    if (Status s = execStatement(QStringLiteral("BEGIN")); !s.ok())
        return s;
    Status status = work();
    if (status.ok())
        status = execStatement(QStringLiteral("COMMIT"));
    if (!status.ok()) {
        execStatement(QStringLiteral("ROLLBACK"));
        return status;
    }
    foldLogWhenLarge();
    return {};
}

// The rows are safe in the log once committed; folding it back is housekeeping. It first grows
// the file by the pages that are new in the log, and only then starts the log over: on a disk
// without that room it waits (a fold that failed half-way would take the space and free none).
// The log keeps its blocks: writing them again costs far less than giving them back and taking new
// ones every few seconds (the fold is most of a quiet bus's writing), and the log's file is held to
// its limit by SQLite (journal_size_limit), so it passes the limit only when the rows since the last
// fold do.
void HistoryDatabase::foldLogWhenLarge() {
    if (logBytes() <= m_logLimit)
        return;
    const qint64 growth = pragma(QStringLiteral("page_count")) * m_pageSize - fileBytes();
    if (growth > 0) {
        const QStorageInfo disk(QFileInfo(m_path).absolutePath());
        if (disk.isValid() && disk.bytesAvailable() < growth)
            return;
    }
    checkpoint(Fold::KeepLog);
}

// Qt's driver hands out its sqlite3 connection; it is used directly only when the driver runs the
// very library this program calls (one SQLite in the process), never a copy of its own.
void HistoryDatabase::useSqliteDirectly() {
    m_rows.reset();
    if (m_binding == RowBinding::ThroughQt)
        return;
    const QVariant handle = m_db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3 *const db = *static_cast<sqlite3 *const *>(handle.constData());
    QSqlQuery query(m_db);
    if (!db || !query.exec(QStringLiteral("SELECT sqlite_source_id()")) || !query.next() ||
        query.value(0).toString() != QLatin1StringView(sqlite3_sourceid()))
        return;
    m_rows = std::make_unique<HistoryDatabaseRows>(db);
}

HistoryDatabase::Status HistoryDatabase::writeBlock(const ValueBlock &values, const QList<EventRecord> &events) {
    if (!m_open)
        return {Outcome::Failed, HistoryTexts::kNoDriver};
    qsizetype from = 0;
    bool eventsWritten = events.isEmpty();
    while (!values.atEnd(from) || !eventsWritten) {
        // One transaction: up to the row and byte bounds.
        qsizetype to = from;
        qsizetype rows = 0;
        qint64 bytes = 0;
        const qint64 byteBound = std::min(kMaxBytesPerTransaction, m_logLimit / 2);
        while (!values.atEnd(to) && rows < kMaxRowsPerTransaction && (rows == 0 || bytes < byteBound)) {
            bytes += rowBytes(values.read(&to));
            ++rows;
        }
        const QList<EventRecord> chunkEvents = eventsWritten ? QList<EventRecord>() : events;
        if (usedPages() > highPages())
            if (Status s = makeRoom(lowPages()); !s.ok())
                return s;
        Status status = insert(values, from, to, chunkEvents);
        if (status.outcome == Outcome::Full) {
            // Either the disk or the page limit: room within the limit, then once more. What fails
            // then did so for want of disk space.
            if (Status s = makeRoom(lowPages() / 2); !s.ok())
                return s;
            status = insert(values, from, to, chunkEvents);
        }
        if (!status.ok())
            return status;
        eventsWritten = true;
        from = to;
    }
    return {};
}

HistoryDatabase::Status HistoryDatabase::insertValue(const ValueBlock::Line &line) {
    if (m_rows) {
        const int result = m_rows->insertValue(line, kMaxValueChars);
        return result == SQLITE_OK ? Status{} : fail(result, m_rows->errorText());
    }
    Status failed;
    QSqlQuery *query = statement(QStringLiteral("INSERT INTO value_lines(time, gan, value) VALUES(?, ?, ?)"), &failed);
    if (!query)
        return failed;
    query->bindValue(0, line.timeMs);
    query->bindValue(1, notNull(line.gan.toString()));
    query->bindValue(2, notNull(cut(line.value, kMaxValueChars)));
    return query->exec() ? Status{} : fail(query->lastError());
}

HistoryDatabase::Status HistoryDatabase::noteNewest(const QHash<QStringView, qint64> &newest) {
    if (m_rows) {
        const int result = m_rows->noteNewest(newest);
        return result == SQLITE_OK ? Status{} : fail(result, m_rows->errorText());
    }
    Status failed;
    QSqlQuery *query = statement(QStringLiteral("INSERT INTO objects(gan, last) VALUES(?, ?) "
                                                "ON CONFLICT(gan) DO UPDATE SET last = max(last, excluded.last)"),
                                 &failed);
    if (!query)
        return failed;
    for (auto it = newest.cbegin(); it != newest.cend(); ++it) {
        query->bindValue(0, notNull(it.key().toString()));
        query->bindValue(1, it.value());
        if (!query->exec())
            return fail(query->lastError());
    }
    return {};
}

HistoryDatabase::Status HistoryDatabase::insert(const ValueBlock &values, qsizetype from, qsizetype to,
                                                const QList<EventRecord> &events) {
    return transaction([&]() -> Status {
        // The texts are views into the block and the events, both alive throughout.
        const auto forgetTexts = qScopeGuard([this] {
            if (m_rows)
                m_rows->forgetTexts();
        });
        QHash<QStringView, qint64> newest;
        for (qsizetype at = from; at < to;) {
            const ValueBlock::Line line = values.read(&at);
            if (Status s = insertValue(line); !s.ok())
                return s;
            qint64 &last = newest[line.gan];
            last = std::max(last, line.timeMs);
        }
        if (!events.isEmpty()) {
            Status failed;
            QSqlQuery *query = statement(
                QStringLiteral("INSERT INTO events(time, kind, gan, text, read) VALUES(?, ?, ?, ?, ?)"), &failed);
            if (!query)
                return failed;
            for (const EventRecord &event : events) {
                query->bindValue(0, event.timeMs);
                query->bindValue(1, notNull(event.kindKey));
                query->bindValue(2, notNull(event.gan));
                query->bindValue(3, notNull(cut(event.text, kMaxEventTextChars)));
                query->bindValue(4, event.read ? 1 : 0);
                if (!query->exec())
                    return fail(query->lastError());
                if (!event.gan.isEmpty()) {
                    qint64 &last = newest[event.gan];
                    last = std::max(last, event.timeMs);
                }
            }
        }
        return noteNewest(newest);
    });
}

// Drops the oldest rows of both tables, a share at a time, until no more than targetPages are in
// use; the freed pages are reused by the next rows.
HistoryDatabase::Status HistoryDatabase::makeRoom(qint64 targetPages) {
    const QString tables[2] = {QStringLiteral("value_lines"), QStringLiteral("events")};
    bool dropped = false;
    for (int round = 0; round < kMaxPruneRounds; ++round) {
        const qint64 used = usedPages();
        if (used <= targetPages)
            break;
        // From the table whose oldest row is older, a share of its rows as large as the share of
        // pages to free.
        qint64 oldest[2] = {-1, -1};
        qint64 rows[2] = {0, 0};
        QSqlQuery query(m_db);
        for (int t = 0; t < 2; ++t)
            if (query.exec(QStringLiteral("SELECT min(time), max(id) - min(id) + 1 FROM %1").arg(tables[t])) &&
                query.next() && !query.value(0).isNull()) {
                oldest[t] = query.value(0).toLongLong();
                rows[t] = query.value(1).toLongLong();
            }
        query.finish();
        if (oldest[0] < 0 && oldest[1] < 0)
            break;
        const int t = (oldest[1] < 0 || (oldest[0] >= 0 && oldest[0] <= oldest[1])) ? 0 : 1;
        const qint64 share = rows[t] * (used - targetPages) / std::max<qint64>(1, used) + 16;
        const qint64 count = std::clamp<qint64>(share, 16, kMaxRowsPerDelete);
        if (Status s = transaction([&] {
                return exec(QStringLiteral("DELETE FROM %1 WHERE id IN (SELECT id FROM %1 ORDER BY time, id LIMIT %2)")
                                .arg(tables[t])
                                .arg(count));
            });
            !s.ok())
            return s;
        dropped = true;
    }
    return dropped ? forgetVanishedObjects() : Status{};
}

HistoryDatabase::Status HistoryDatabase::dropOlderThan(const QString &table, qint64 cutoffMs, qint64 *dropped) {
    for (;;) {
        int count = 0;
        if (Status s = transaction([&]() -> Status {
                QSqlQuery query(m_db);
                query.prepare(QStringLiteral("DELETE FROM %1 WHERE id IN (SELECT id FROM %1 WHERE time < ? "
                                             "ORDER BY time LIMIT %2)")
                                  .arg(table)
                                  .arg(kMaxRowsPerDelete));
                query.bindValue(0, cutoffMs);
                if (!query.exec())
                    return fail(query.lastError());
                count = query.numRowsAffected();
                return {};
            });
            !s.ok())
            return s;
        *dropped += count;
        if (count < kMaxRowsPerDelete)
            return {};
    }
}

// An object whose newest row is older than every row left has no rows any more.
HistoryDatabase::Status HistoryDatabase::forgetVanishedObjects() {
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT (SELECT min(time) FROM value_lines), (SELECT min(time) FROM events)")) ||
        !query.next())
        return fail(query.lastError());
    qint64 oldest = std::numeric_limits<qint64>::max();
    for (int column = 0; column < 2; ++column)
        if (!query.value(column).isNull())
            oldest = std::min(oldest, query.value(column).toLongLong());
    query.finish();
    return transaction([&]() -> Status {
        QSqlQuery drop(m_db);
        drop.prepare(QStringLiteral("DELETE FROM objects WHERE last < ?"));
        drop.bindValue(0, oldest);
        return drop.exec() ? Status{} : fail(drop.lastError());
    });
}

HistoryDatabase::Status HistoryDatabase::enforceLimits(qint64 nowMs) {
    if (!m_open)
        return {};
    qint64 dropped = 0;
    if (nowMs > 0) {
        for (const QString &table : {QStringLiteral("value_lines"), QStringLiteral("events")})
            if (Status s = dropOlderThan(table, nowMs - m_limits.ageMs(), &dropped); !s.ok())
                return s;
    }
    if (usedPages() > highPages())
        return makeRoom(lowPages());
    return dropped > 0 ? forgetVanishedObjects() : Status{};
}

HistoryDatabase::Status HistoryDatabase::setLimits(const HistoryLimits &limits, qint64 nowMs) {
    m_limits = limits;
    // The log takes up to twice its limit (the last transaction may pass it); the file the rest.
    m_logLimit = std::min(kMaxLogBytes, limits.bytes() / 8);
    m_maxPages = std::max<qint64>(16, (limits.bytes() - 2 * m_logLimit) / m_pageSize);
    if (Status s = enforceLimits(nowMs); !s.ok())
        return s;
    if (pragma(QStringLiteral("page_count")) > m_maxPages) {
        // A smaller limit: the rows beyond it are gone, now the file gives back its free pages.
        // Each step of the statement frees one page (and Qt steps a statement without result
        // columns only once), so it runs once per free page, in one transaction.
        const qint64 freePages = pragma(QStringLiteral("freelist_count"));
        if (Status s = transaction([&] {
                QSqlQuery query(m_db);
                for (qint64 page = 0; page < freePages; ++page)
                    if (!query.exec(QStringLiteral("PRAGMA incremental_vacuum(1)")))
                        return fail(query.lastError());
                return Status{};
            });
            !s.ok())
            return s;
        if (Status s = checkpoint(); !s.ok())
            return s;
    }
    if (Status s = exec(QStringLiteral("PRAGMA journal_size_limit=%1").arg(m_logLimit)); !s.ok())
        return s;
    return exec(QStringLiteral("PRAGMA max_page_count=%1").arg(m_maxPages));
}

HistoryDatabase::Status HistoryDatabase::markAllRead() {
    if (!m_open)
        return {};
    return transaction([this] { return exec(QStringLiteral("UPDATE events SET read = 1 WHERE read = 0")); });
}

int HistoryDatabase::unreadCount() {
    if (!m_open)
        return 0;
    QSqlQuery query(m_db);
    return query.exec(QStringLiteral("SELECT count(*) FROM events WHERE read = 0")) && query.next()
               ? query.value(0).toInt()
               : 0;
}

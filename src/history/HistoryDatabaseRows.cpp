#include "HistoryDatabaseRows.h"

#include "HistoryTexts.h"

#include <sqlite3.h>

namespace {
// SQLite binds a null pointer as NULL; the columns hold texts, empty ones too.
const char16_t kEmpty[] = u"";

int bindText(sqlite3_stmt *statement, int column, QStringView text) {
    const void *data = text.isEmpty() ? static_cast<const void *>(kEmpty) : static_cast<const void *>(text.utf16());
    // Static: the text stays where it is until the statement has run.
    return sqlite3_bind_text16(statement, column, data, int(text.size() * qsizetype(sizeof(char16_t))), SQLITE_STATIC);
}

// Runs a statement bound for one row and makes it ready for the next.
int step(sqlite3_stmt *statement) {
    const int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    return result == SQLITE_DONE ? SQLITE_OK : result;
}
} // namespace

HistoryDatabaseRows::~HistoryDatabaseRows() {
    sqlite3_finalize(m_insertValue);
    sqlite3_finalize(m_noteNewest);
}

int HistoryDatabaseRows::prepare(sqlite3_stmt **statement, const char *sql) {
    if (*statement)
        return SQLITE_OK;
    return sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr);
}

int HistoryDatabaseRows::insertValue(const ValueBlock::Line &line, int maxValueChars) {
    if (const int result = prepare(&m_insertValue, "INSERT INTO value_lines(time, gan, value) VALUES(?, ?, ?)"))
        return result;
    // Only a value too long for the history is copied (to be cut).
    const QString cutValue =
        line.value.size() > maxValueChars ? line.value.left(maxValueChars).toString() + HistoryTexts::kCut : QString();
    int result = sqlite3_bind_int64(m_insertValue, 1, line.timeMs);
    if (result == SQLITE_OK)
        result = bindText(m_insertValue, 2, line.gan);
    if (result == SQLITE_OK)
        result = bindText(m_insertValue, 3, cutValue.isNull() ? line.value : QStringView(cutValue));
    if (result != SQLITE_OK) {
        sqlite3_reset(m_insertValue);
        return result;
    }
    return step(m_insertValue);
}

int HistoryDatabaseRows::noteNewest(const QHash<QStringView, qint64> &newest) {
    if (const int result = prepare(&m_noteNewest, "INSERT INTO objects(gan, last) VALUES(?, ?) "
                                                  "ON CONFLICT(gan) DO UPDATE SET last = max(last, excluded.last)"))
        return result;
    for (auto it = newest.cbegin(); it != newest.cend(); ++it) {
        int result = bindText(m_noteNewest, 1, it.key());
        if (result == SQLITE_OK)
            result = sqlite3_bind_int64(m_noteNewest, 2, it.value());
        if (result == SQLITE_OK)
            result = step(m_noteNewest);
        else
            sqlite3_reset(m_noteNewest);
        if (result != SQLITE_OK)
            return result;
    }
    return SQLITE_OK;
}

void HistoryDatabaseRows::forgetTexts() {
    if (m_insertValue)
        sqlite3_clear_bindings(m_insertValue);
    if (m_noteNewest)
        sqlite3_clear_bindings(m_noteNewest);
}

QString HistoryDatabaseRows::errorText() const {
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

#pragma once

#include "HistoryBatch.h"

#include <QHash>
#include <QString>
#include <QStringView>

struct sqlite3;
struct sqlite3_stmt;

// Inserts value rows and the objects' newest times through SQLite's own interface, on the
// connection Qt's driver opened: a row costs a fraction of what binding through QVariant costs, and
// the texts are bound where they lie in the batch's block, without copies. Only for a connection
// of the same SQLite library as this program's (HistoryDatabase checks that when it opens).
class HistoryDatabaseRows {
public:
    explicit HistoryDatabaseRows(sqlite3 *db) : m_db(db) {}
    ~HistoryDatabaseRows();
    HistoryDatabaseRows(const HistoryDatabaseRows &) = delete;
    HistoryDatabaseRows &operator=(const HistoryDatabaseRows &) = delete;

    // Each returns SQLite's result code; 0 (SQLITE_OK) when done.
    // One value line, its value cut beyond maxValueChars (and saying so at its end).
    int insertValue(const ValueBlock::Line &line, int maxValueChars);
    // Every object's newest time, kept where a row of it is newer.
    int noteNewest(const QHash<QStringView, qint64> &newest);
    // Lets go of the texts bound last (they lie in a block about to be freed).
    void forgetTexts();
    // SQLite's text for the last failure.
    QString errorText() const;

private:
    int prepare(sqlite3_stmt **statement, const char *sql);

    sqlite3 *m_db;
    sqlite3_stmt *m_insertValue = nullptr;
    sqlite3_stmt *m_noteNewest = nullptr;
};

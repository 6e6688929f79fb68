#pragma once

#include "HistoryRecords.h"

#include <QByteArray>
#include <QString>
#include <functional>

// The values of one object as a CSV file German spreadsheet programs read as they are: UTF-8 with
// a byte-order mark, semicolons between the fields, CR LF, local times "dd.MM.yyyy HH:mm:ss" and
// numbers with a decimal comma. A text that holds a semicolon, a quote or a line break is quoted;
// one that a spreadsheet would run as a formula ("=", "+", "-", "@" at its start, not a number)
// gets a leading apostrophe.
namespace CsvExport {
// The most rows one export writes; a longer range is cut and says so.
constexpr int kMaxRows = 1000000;
// The most rows one chart asks for; a longer range is condensed.
constexpr int kMaxChartRows = 100000;

struct Result {
    bool ok = false;
    qint64 rows = 0;
    bool cut = false; // the range held more than kMaxRows
    QString message;  // for the user: what was written, or why not
};

// Takes one row; false stops the rows (the file could not take it).
using RowSink = std::function<bool(const ValueRecord &)>;
// Hands every row to the sink, oldest first; true when rows were left out (kMaxRows).
using RowSource = std::function<bool(const RowSink &)>;

QByteArray bytes(const QList<ValueRecord> &rows);
// One field as the file holds it.
QString field(const QString &value);
// Writes the file whole through the checked writer, the rows streaming into it.
Result writeFile(const QString &file, const RowSource &rows);
} // namespace CsvExport

// The reading side of HistoryDatabase: every query is bounded in rows, so that a large history
// answers as quickly as a small one.
#include "HistoryDatabase.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
// One object's rows in [fromMs, toMs): `columns` of value_lines, `tail` after the condition, and
// values for the tail's placeholders.
bool queryRange(QSqlQuery &query, const QString &columns, const QString &tail, const QString &gan, qint64 fromMs,
                qint64 toMs, const QVariantList &tailValues) {
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT %1 FROM value_lines WHERE gan = ? AND time >= ? AND time < ? %2").arg(columns, tail));
    const QVariantList values = QVariantList{gan, fromMs, toMs} + tailValues;
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    return query.exec();
}

// A row of a range query (time and value).
ValueRecord rowOf(const QSqlQuery &query, const QString &gan) {
    return {query.value(0).toLongLong(), gan, query.value(1).toString()};
}

bool matches(const EventRecord &event, const QString &search) {
    return event.text.contains(search, Qt::CaseInsensitive) || event.gan.contains(search, Qt::CaseInsensitive);
}
} // namespace

EventPage HistoryDatabase::events(const EventFilter &filter) {
    EventPage page;
    if (!m_open)
        return page;
    QString sql = QStringLiteral("SELECT id, time, kind, gan, text, read FROM events");
    QStringList conditions;
    QVariantList values;
    if (filter.kind) {
        conditions << QStringLiteral("kind = ?");
        values << EventKinds::key(*filter.kind);
    }
    if (!filter.gan.isEmpty()) {
        conditions << QStringLiteral("gan = ?");
        values << filter.gan;
    }
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY time DESC, id DESC");
    // Without a search the database stops after one row beyond the page; with one, the rows are
    // read until the page is full or the scan budget is spent. (SQLite's own LIKE folds ASCII
    // letters only; "Küche" must find "KÜCHE".)
    const QString search = filter.search.trimmed();
    if (search.isEmpty())
        sql += QStringLiteral(" LIMIT %1").arg(qint64(filter.limit) + 1);
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        return page;
    qint64 scanned = 0;
    while (query.next()) {
        if (!search.isEmpty() && ++scanned > kSearchScanBudget) {
            page.searchCutAfter = kSearchScanBudget;
            break;
        }
        EventRecord event;
        event.id = query.value(0).toLongLong();
        event.timeMs = query.value(1).toLongLong();
        event.kindKey = query.value(2).toString();
        event.gan = query.value(3).toString();
        event.text = query.value(4).toString();
        event.read = query.value(5).toInt() != 0;
        if (!search.isEmpty() && !matches(event, search))
            continue;
        if (page.events.size() == filter.limit) {
            page.moreThanLimit = true;
            break;
        }
        page.events.append(event);
    }
    return page;
}

bool HistoryDatabase::forEachRow(const QString &gan, qint64 fromMs, qint64 toMs, qint64 limit,
                                 const std::function<bool(const ValueRecord &)> &take) {
    if (!m_open)
        return false;
    QSqlQuery query(m_db);
    if (!queryRange(query, QStringLiteral("time, value"), QStringLiteral("ORDER BY time, id LIMIT ?"), gan, fromMs,
                    toMs, {limit + 1}))
        return false;
    for (qint64 taken = 0; query.next(); ++taken) {
        if (taken == limit)
            return true;
        if (!take(rowOf(query, gan)))
            return false;
    }
    return false;
}

QList<ValueRecord> HistoryDatabase::rows(const QString &gan, qint64 fromMs, qint64 toMs, int limit, bool *more) {
    QList<ValueRecord> result;
    *more = forEachRow(gan, fromMs, toMs, limit, [&result](const ValueRecord &row) {
        result.append(row);
        return true;
    });
    return result;
}

SeriesRows HistoryDatabase::series(const QString &gan, qint64 fromMs, qint64 toMs, int maxRows) {
    SeriesRows series{gan, fromMs, toMs, {}, 0};
    bool more = false;
    series.rows = rows(gan, fromMs, toMs, maxRows, &more);
    if (!more)
        return series;
    // Too many for one answer: the last value of each slice (SQLite takes the other columns of an
    // aggregate max() from the row that has the maximum).
    series.rows.clear();
    series.bucketMs = std::max<qint64>(1, (toMs - fromMs + maxRows - 1) / maxRows);
    QSqlQuery query(m_db);
    if (queryRange(query, QStringLiteral("max(time), value"), QStringLiteral("GROUP BY (time - ?) / ? ORDER BY 1"), gan,
                   fromMs, toMs, {fromMs, series.bucketMs}))
        while (query.next())
            series.rows.append(rowOf(query, gan));
    return series;
}

QStringList HistoryDatabase::objects() {
    QStringList objects;
    if (!m_open)
        return objects;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    // Numbers in their order: shorter first, then by digits.
    if (query.exec(
            QStringLiteral("SELECT gan FROM objects ORDER BY length(gan), gan LIMIT %1").arg(kMaxListedObjects + 1)))
        while (query.next())
            objects.append(query.value(0).toString());
    return objects;
}

#pragma once

#include "History.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QVariant>
#include <functional>

// What the history tests share: waiting for the history's answers, and reading its file as any
// SQLite reader would (after the history closed it).
namespace HistoryTest {

// The answer of one of the history's asynchronous queries, once it has arrived.
template <typename T>
T await(const std::function<void(QObject *, std::function<void(const T &)>)> &ask, int timeoutMs = 30000) {
    QObject context;
    std::optional<T> answer;
    ask(&context, [&answer](const T &value) { answer = value; });
    if (!QTest::qWaitFor([&answer] { return answer.has_value(); }, timeoutMs))
        qWarning("the history did not answer");
    return answer.value_or(T{});
}

inline EventPage events(History &history, const EventFilter &filter = {}) {
    return await<EventPage>([&](QObject *context, std::function<void(const EventPage &)> done) {
        history.queryEvents(filter, context, std::move(done));
    });
}

inline SeriesRows series(History &history, const QString &gan, qint64 fromMs, qint64 toMs) {
    return await<SeriesRows>([&](QObject *context, std::function<void(const SeriesRows &)> done) {
        history.querySeries(gan, fromMs, toMs, context, std::move(done));
    });
}

// Waits until everything handed over so far is written.
inline bool settled(History &history) {
    bool done = false;
    history.afterWrites(nullptr, [&done] { done = true; });
    return QTest::qWaitFor([&done] { return done; }, 60000);
}

// Closes the history and waits for its writer to finish.
inline bool closed(History &history) {
    QSignalSpy spy(&history, &History::closed);
    history.close();
    return spy.wait(60000) || spy.count() > 0;
}

// Runs a query on the file with a connection of its own; each row's columns joined by "|".
inline QStringList readFile(const QString &path, const QString &sql) {
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql))
                while (query.next()) {
                    QStringList columns;
                    for (int c = 0; c < query.record().count(); ++c)
                        columns << query.value(c).toString();
                    rows << columns.join(u'|');
                }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    return rows;
}
} // namespace HistoryTest

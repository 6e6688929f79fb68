#pragma once

#include <QList>
#include <QString>
#include <optional>

// What the history keeps: every value line received, and the events a user would want to find
// again. Times are milliseconds since 1970 (UTC); the window shows them in local time.

// One value line as the gateway sent it ("2|768|1.0" gives gan "768", value "1.0").
struct ValueRecord {
    qint64 timeMs = 0;
    QString gan;
    QString value;
};

// The kinds of events. Each has a stable key stored in the database (new kinds only add keys, so
// older files stay readable) and a German name (HistoryTexts.h).
enum class EventKind {
    Balloon,      // a balloon was shown
    Message,      // an important message was shown
    LinkLost,     // the gateway link went down
    LinkRestored, // the gateway link came back
    KeyRefused,   // the server hung up right after the key line
    LoadReplaceFailed,
    MailFailed,
    CatalogueFailed,
    SaveFailed,
    HistoryGap, // the history itself could not record for a while (full disk, damaged file)
};

namespace EventKinds {
const QList<EventKind> &all();
QString key(EventKind kind);
std::optional<EventKind> fromKey(const QString &key);
// The German name; an unknown key (a newer program's kind) is shown as it is.
QString name(EventKind kind);
QString nameOfKey(const QString &key);
} // namespace EventKinds

struct EventRecord {
    qint64 id = 0; // given by the database
    qint64 timeMs = 0;
    QString kindKey; // EventKinds::key, kept as text so unknown kinds survive
    QString gan;     // empty when the event concerns no object
    QString text;
    bool read = false;
};

// How much the history keeps: rows older than `days` go, and the database file stays below
// `megabytes` (MiB), the oldest rows going first.
struct HistoryLimits {
    static constexpr int kMinDays = 1;
    static constexpr int kMaxDays = 3650;
    static constexpr int kMinMegabytes = 1;
    static constexpr int kMaxMegabytes = 100000;
    int days = 90;
    int megabytes = 200;
    qint64 bytes() const { return qint64(megabytes) * 1024 * 1024; }
    qint64 ageMs() const { return qint64(days) * 24 * 60 * 60 * 1000; }
    bool operator==(const HistoryLimits &) const = default;
};

// Which events the list shows, newest first, at most `limit`.
struct EventFilter {
    std::optional<EventKind> kind;
    QString gan;    // empty: every object (and events without one)
    QString search; // in the text or the object number, case-insensitive
    int limit = 1000;
};

struct EventPage {
    QList<EventRecord> events;
    bool moreThanLimit = false; // older matching events exist beyond the limit
    // The search looked through only this many of the newest events (0: through all of them).
    qint64 searchCutAfter = 0;
};

// The object lists offer at most this many objects; the history's answer holds one more when
// there are more.
constexpr int kMaxListedObjects = 5000;

// The values of one object in a time range, oldest first. When the range holds more rows than the
// query may return, the rows are condensed: the last value of every `bucketMs` slice.
struct SeriesRows {
    QString gan;
    qint64 fromMs = 0;
    qint64 toMs = 0;
    QList<ValueRecord> rows;
    qint64 bucketMs = 0; // 0: every row of the range
};

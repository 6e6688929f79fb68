// The history's store on a real database file: a burst's lines arrive in order, the limits by age
// and size hold, a damaged file is moved aside, events are found and read.
#include "DamagedFile.h"
#include "HistoryDatabase.h"
#include "HistoryTestSupport.h"
#include "HistoryTexts.h"
#include "HistoryValueRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

Q_DECLARE_METATYPE(EventFilter)

using namespace HistoryTest;

namespace {
constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;
constexpr qint64 kNow = 1714550400000; // 2024-05-01, a fixed "now" for the limits

QList<ValueRecord> lines(int count, qint64 firstMs, qint64 stepMs, int objects = 40) {
    QList<ValueRecord> rows;
    for (int i = 0; i < count; ++i)
        rows.append({firstMs + i * stepMs, QString::number(1000 + i % objects), QStringLiteral("%1.5").arg(i)});
    return rows;
}

EventRecord anEvent(qint64 timeMs, EventKind kind, const QString &gan, const QString &text) {
    return {0, timeMs, EventKinds::key(kind), gan, text, false};
}

qint64 logBytes(const QString &db) {
    return QFileInfo(db + QStringLiteral("-wal")).size(); // 0 also when there is none
}
} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT
private slots:
    // Lines arrive as the link hands them over: a few thousand per pass of the event loop, with
    // events between them. Every line is in the file, in the order received.
    void burstRecordedInOrder() {
        QTemporaryDir dir;
        QStringList sent;
        {
            History history(dir.path());
            HistoryValueRecorder recorder(history);
            constexpr int kPasses = 12;
            constexpr int kLinesPerPass = 3500;
            int pass = 0;
            QTimer link;
            link.setInterval(0);
            connect(&link, &QTimer::timeout, this, [&] {
                for (int i = 0; i < kLinesPerPass; ++i) {
                    const int n = pass * kLinesPerPass + i;
                    const DecodedLine line{QString::number(1000 + n % 300), QStringLiteral("%1.0").arg(n), {}};
                    recorder.onValue(line, pass == 0);
                    sent << line.gan + u'|' + line.rawValue;
                }
                history.recordEvent(EventKind::Balloon, QStringLiteral("1000"),
                                    QStringLiteral("Durchgang %1").arg(pass));
                if (++pass == kPasses)
                    link.stop();
            });
            link.start();
            QTRY_VERIFY_WITH_TIMEOUT(!link.isActive(), 60000);
            QVERIFY(closed(history));
        }
        const QString file = dir.filePath(History::kDatabaseName);
        QCOMPARE(readFile(file, QStringLiteral("SELECT gan, value FROM value_lines ORDER BY id")), sent);
        QCOMPARE(readFile(file, QStringLiteral("SELECT count(*) FROM events")), QStringList{u"12"_qs});
        QCOMPARE(logBytes(file), 0);
        // Values tell who is at home: the file is its owner's alone.
        QCOMPARE(QFileInfo(file).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    }

    void ageLimit_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<QList<qint64>>("ages"); // of the rows, in days before now
        QTest::addColumn<QList<qint64>>("kept"); // the ages that stay
        QTest::newRow("90 days") << 90 << QList<qint64>{200, 91, 89, 1, 0} << QList<qint64>{89, 1, 0};
        QTest::newRow("1 day") << 1 << QList<qint64>{3, 2, 1, 0} << QList<qint64>{0};
        QTest::newRow("nothing old") << 30 << QList<qint64>{10, 5} << QList<qint64>{10, 5};
    }
    // Rows (values and events alike) older than the limit go; their objects leave the lists.
    void ageLimit() {
        QFETCH(int, days);
        QFETCH(QList<qint64>, ages);
        QFETCH(QList<qint64>, kept);
        QTemporaryDir dir;
        HistoryDatabase db(dir.filePath(u"v.db"_qs));
        QVERIFY(db.open({days, 200}).ok());
        QList<ValueRecord> values;
        QList<EventRecord> events;
        for (qint64 age : ages) {
            // Half an hour more, so that no row lies on the edge.
            const qint64 time = kNow - age * kDayMs - kDayMs / 48;
            values.append({time, QString::number(age), u"1"_qs});
            events.append(anEvent(time, EventKind::LinkLost, QString::number(age), u"weg"_qs));
        }
        QVERIFY(db.write(values, events).ok());
        QVERIFY(db.enforceLimits(kNow).ok());
        QStringList expected;
        for (qint64 age : kept)
            expected << QString::number(age);
        std::sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        QCOMPARE(db.objects(), expected);
        QStringList eventObjects;
        const EventPage page = db.events({});
        for (const EventRecord &e : page.events)
            eventObjects.prepend(e.gan);
        QStringList keptInOrder;
        for (qint64 age : kept)
            keptInOrder << QString::number(age);
        QCOMPARE(eventObjects, keptInOrder);
    }

    void sizeLimit_data() {
        QTest::addColumn<int>("megabytes");
        QTest::addColumn<int>("batches");
        QTest::addColumn<int>("objects");
        QTest::newRow("1 MB, 40,000 lines") << 1 << 40 << 40;
        QTest::newRow("1 MB, 500 objects") << 1 << 40 << 500;
        QTest::newRow("6 MB, 150,000 lines") << 6 << 150 << 40;
    }
    // The file and its log never pass the limit, after any batch: the oldest rows make room, the
    // newest stay.
    void sizeLimit() {
        QFETCH(int, megabytes);
        QFETCH(int, batches);
        QFETCH(int, objects);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"v.db"_qs);
        HistoryDatabase db(file);
        const HistoryLimits limits{90, megabytes};
        QVERIFY(db.open(limits).ok());
        constexpr int kBatch = 1000;
        for (int b = 0; b < batches; ++b) {
            QList<ValueRecord> batch = lines(kBatch, kNow + qint64(b) * kBatch, 1, objects);
            for (ValueRecord &row : batch)
                row.value += u'-' + QString::number(b);
            QVERIFY(db.write(batch, {anEvent(kNow + b, EventKind::Balloon, u"1000"_qs, u"Licht an"_qs)}).ok());
            const qint64 bytes = db.fileBytes() + logBytes(file);
            QVERIFY2(bytes <= limits.bytes(), qPrintable(QString::number(bytes)));
        }
        // The newest batch whole, the oldest gone, and a good part of the limit in use.
        const QString newest = QString::number(batches - 1);
        bool more = false;
        const QList<ValueRecord> last = db.rows(u"1000"_qs, kNow + qint64(batches - 1) * kBatch, kNow * 2, 100, &more);
        QCOMPARE(last.size(), kBatch / objects);
        QVERIFY(last.front().value.endsWith(u'-' + newest));
        QVERIFY(db.rows(u"1000"_qs, 0, kNow + kBatch, 100, &more).isEmpty());
        QVERIFY(db.usedPages() * 2 > db.maxPages());
    }

    // A smaller limit shrinks the file at once.
    void smallerLimitShrinksTheFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"v.db"_qs);
        HistoryDatabase db(file);
        QVERIFY(db.open({90, 4}).ok());
        for (int b = 0; b < 80; ++b)
            QVERIFY(db.write(lines(1000, kNow + b * 1000, 1), {}).ok());
        QVERIFY(db.fileBytes() > 2 * 1024 * 1024);
        const HistoryLimits smaller{90, 1};
        QVERIFY(db.setLimits(smaller, kNow).ok());
        QVERIFY2(db.fileBytes() + logBytes(file) <= smaller.bytes(), qPrintable(QString::number(db.fileBytes())));
        QVERIFY(db.write(lines(1000, kNow * 2, 1), {}).ok());
        QVERIFY(db.fileBytes() + logBytes(file) <= smaller.bytes());
    }

    void damagedFileMovedAside_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("no database at all") << u"garbage"_qs;
        QTest::newRow("pages overwritten") << u"pages"_qs;
    }
    // The damaged file keeps its bytes under a new name beside it, the user hears of it once, and
    // a new history starts with an unread event saying where the old one went.
    void damagedFileMovedAside() {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString file = dir.filePath(History::kDatabaseName);
        if (damage == u"garbage") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(20000, 'x'));
        } else {
            {
                HistoryDatabase db(file);
                QVERIFY(db.open({}).ok());
                QVERIFY(db.write(lines(20000, kNow, 1), {}).ok());
            }
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.size() > 40 * 4096);
            for (int page = 3; page < 40; page += 2) {
                f.seek(qint64(page) * 4096);
                f.write(QByteArray(4096, char(0xA5)));
            }
        }
        const QByteArray damagedBytes = [&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();

        History history(dir.path());
        QSignalSpy problems(&history, &History::problem);
        QTRY_COMPARE_WITH_TIMEOUT(history.unreadCount(), 1, 30000);
        QCOMPARE(problems.count(), 1);
        const QStringList aside =
            QDir(dir.path()).entryList({History::kDatabaseName + u".beschädigt-*"_qs}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QVERIFY(problems.first().first().toString().contains(aside.first()));
        QFile moved(dir.filePath(aside.first()));
        QVERIFY(moved.open(QIODevice::ReadOnly));
        QCOMPARE(moved.readAll(), damagedBytes);
        const EventPage page = events(history);
        QCOMPARE(page.events.size(), 1);
        QCOMPARE(page.events.first().kindKey, EventKinds::key(EventKind::HistoryGap));
        QVERIFY(page.events.first().text.contains(aside.first()));
        // The new history records.
        history.recordValue(u"768"_qs, u"1"_qs);
        QCOMPARE(series(history, u"768"_qs, 0, history.now() + 1).rows.size(), 1);
    }

    // A file of a newer program is neither written nor moved aside; the history stays off and
    // says so once.
    void newerFileLeftAlone() {
        QTemporaryDir dir;
        const QString file = dir.filePath(History::kDatabaseName);
        {
            HistoryDatabase db(file);
            QVERIFY(db.open({}).ok());
            QVERIFY(db.write(lines(10, kNow, 1), {}).ok());
        }
        QCOMPARE(readFile(file, u"PRAGMA user_version=99"_qs), QStringList());
        const QByteArray before = [&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        {
            History history(dir.path());
            QSignalSpy problems(&history, &History::problem);
            QVERIFY(problems.wait(30000));
            QVERIFY(problems.first().first().toString().contains(u"neueren Quendra-Version"_qs));
            history.recordValue(u"768"_qs, u"1"_qs);
            history.recordEvent(EventKind::Balloon, u"768"_qs, u"Licht an"_qs);
            QVERIFY(settled(history));
            QCOMPARE(problems.count(), 1);
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{History::kDatabaseName});
    }

    void writerBehind_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("valueChars");
        QTest::newRow("more lines than may wait") << 150 << 3;
        QTest::newRow("more bytes than may wait") << 2 << 40000;
    }
    // Lines beyond what may wait for the writer are dropped: the user hears of it once, and the
    // next lines bring an event that counts the gap.
    void writerBehind() {
        QFETCH(int, lines);
        QFETCH(int, valueChars);
        QTemporaryDir dir;
        HistoryOptions options;
        options.maxLinesInFlight = 100;
        options.maxBytesInFlight = 64 * 1024;
        History history(dir.path(), options);
        QSignalSpy problems(&history, &History::problem);
        QList<ValueRecord> burst;
        for (int i = 0; i < lines; ++i)
            burst.append({history.now(), u"768"_qs, QString(valueChars, u'7')});
        history.recordValues(burst);
        history.recordValues(burst);
        QCOMPARE(problems.count(), 1);
        QVERIFY(problems.first().first().toString().contains(QString::number(lines)));
        history.recordValue(u"769"_qs, u"1"_qs);
        const EventPage page = events(history);
        QCOMPARE(page.events.size(), 1);
        QCOMPARE(page.events.first().text,
                 u"Aufzeichnung fortgesetzt; %1 Einträge fehlen im Verlauf."_qs.arg(2 * lines));
        QCOMPARE(series(history, u"768"_qs, 0, history.now() + 1).rows.size(), 0);
        QCOMPARE(series(history, u"769"_qs, 0, history.now() + 1).rows.size(), 1);
        QCOMPARE(problems.count(), 1);
    }

    void eventFilters_data() {
        QTest::addColumn<EventFilter>("filter");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("all, newest first")
            << EventFilter{}
            << QStringList{u"Mail: Zeitüberschreitung"_qs, u"Licht KÜCHE an"_qs, u"weg"_qs, u"Licht Flur an"_qs};
        QTest::newRow("kind") << EventFilter{EventKind::Balloon, {}, {}, 1000}
                              << QStringList{u"Licht KÜCHE an"_qs, u"Licht Flur an"_qs};
        QTest::newRow("object") << EventFilter{{}, u"768"_qs, {}, 1000} << QStringList{u"Licht KÜCHE an"_qs};
        QTest::newRow("search folds umlauts")
            << EventFilter{{}, {}, u"küche"_qs, 1000} << QStringList{u"Licht KÜCHE an"_qs};
        QTest::newRow("search finds the object")
            << EventFilter{{}, {}, u"769"_qs, 1000} << QStringList{u"Licht Flur an"_qs};
        QTest::newRow("limit") << EventFilter{{}, {}, {}, 2}
                               << QStringList{u"Mail: Zeitüberschreitung"_qs, u"Licht KÜCHE an"_qs};
    }
    void eventFilters() {
        QFETCH(EventFilter, filter);
        QFETCH(QStringList, texts);
        QTemporaryDir dir;
        HistoryDatabase db(dir.filePath(u"v.db"_qs));
        QVERIFY(db.open({}).ok());
        QVERIFY(db.write({}, {anEvent(kNow, EventKind::Balloon, u"769"_qs, u"Licht Flur an"_qs),
                              anEvent(kNow + 1, EventKind::LinkLost, {}, u"weg"_qs),
                              anEvent(kNow + 2, EventKind::Balloon, u"768"_qs, u"Licht KÜCHE an"_qs),
                              anEvent(kNow + 3, EventKind::MailFailed, {}, u"Mail: Zeitüberschreitung"_qs)})
                    .ok());
        const EventPage page = db.events(filter);
        QStringList shown;
        for (const EventRecord &e : page.events)
            shown << e.text;
        QCOMPARE(shown, texts);
        QCOMPARE(page.moreThanLimit, filter.limit == 2);
    }

    // Events arrive unread and count on the badge until "Alle als gelesen markieren"; the count
    // is the file's, also after a restart.
    void unreadCountAndMarkAllRead() {
        QTemporaryDir dir;
        {
            History history(dir.path());
            QSignalSpy counts(&history, &History::unreadCountChanged);
            history.recordEvent(EventKind::Balloon, u"768"_qs, u"Licht an"_qs);
            history.recordEvent(EventKind::Message, u"769"_qs, u"Tür offen"_qs);
            QTRY_COMPARE(history.unreadCount(), 2);
            history.markAllRead();
            QTRY_COMPARE(history.unreadCount(), 0);
            QVERIFY(events(history).events.first().read);
            history.recordEvent(EventKind::LinkLost, {}, u"weg"_qs);
            QTRY_COMPARE(history.unreadCount(), 1);
            QVERIFY(closed(history));
        }
        History again(dir.path());
        QTRY_COMPARE(again.unreadCount(), 1);
    }

    // A chart's range holds more rows than one answer may: the last value of each slice comes.
    void longRangesAreCondensed() {
        QTemporaryDir dir;
        HistoryDatabase db(dir.filePath(u"v.db"_qs));
        QVERIFY(db.open({}).ok());
        QVERIFY(db.write(lines(10000, kNow, 1000, 1), {}).ok()); // one object, a value a second
        const SeriesRows all = db.series(u"1000"_qs, kNow, kNow + 10000 * 1000, 10000);
        QCOMPARE(all.bucketMs, 0);
        QCOMPARE(all.rows.size(), 10000);
        const SeriesRows condensed = db.series(u"1000"_qs, kNow, kNow + 10000 * 1000, 1000);
        QCOMPARE(condensed.bucketMs, 10000);
        QCOMPARE(condensed.rows.size(), 1000);
        QCOMPARE(condensed.rows.first().value, u"9.5"_qs); // the last of the first ten seconds
        QCOMPARE(condensed.rows.last().value, u"9999.5"_qs);
    }

    void oddTextsKept_data() {
        QTest::addColumn<QString>("gan");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");
        const QString longest(HistoryDatabase::kMaxValueChars, u'7');
        QTest::newRow("empty value") << u"768"_qs << QString() << QString();
        QTest::newRow("empty object") << QString() << u"1"_qs << u"1"_qs;
        QTest::newRow("separators") << u"768"_qs << u"a|b||c|"_qs << u"a|b||c|"_qs;
        QTest::newRow("umlauts, degrees, emoji") << u"768"_qs << u"Küche 21,5 °C 🔥"_qs << u"Küche 21,5 °C 🔥"_qs;
        QTest::newRow("longest kept whole") << u"768"_qs << longest << longest;
        QTest::newRow("one unit longer: cut") << u"768"_qs << longest + u'8' << longest + HistoryTexts::kCut;
        QTest::newRow("far longer: cut") << u"768"_qs << longest + QString(300000, u'9')
                                         << longest + HistoryTexts::kCut;
    }
    // Whatever a line carries reaches the file byte for byte (a long value cut as always).
    void oddTextsKept() {
        QFETCH(QString, gan);
        QFETCH(QString, value);
        QFETCH(QString, stored);
        QTemporaryDir dir;
        {
            History history(dir.path());
            history.recordValue(u"1"_qs, u"vorher"_qs);
            history.recordValue(gan, value);
            history.recordValue(u"2"_qs, u"nachher"_qs);
            QVERIFY(closed(history));
        }
        const auto hex = [](const QString &text) {
            return QString::fromLatin1(text.toUtf8().toHex().toUpper());
        };
        const QString rows = QStringLiteral("SELECT hex(gan), hex(value) FROM value_lines ORDER BY id");
        const QStringList expected{hex(u"1"_qs) + u'|' + hex(u"vorher"_qs), hex(gan) + u'|' + hex(stored),
                                   hex(u"2"_qs) + u'|' + hex(u"nachher"_qs)};
        QCOMPARE(readFile(dir.filePath(History::kDatabaseName), rows), expected);
        // Bound through Qt's driver (one with a library of its own), the rows are the same.
        const QString throughQt = dir.filePath(u"qt.db"_qs);
        {
            HistoryDatabase db(throughQt, HistoryDatabase::RowBinding::ThroughQt);
            QVERIFY(db.open({}).ok());
            QVERIFY(db.write({{1, u"1"_qs, u"vorher"_qs}, {2, gan, value}, {3, u"2"_qs, u"nachher"_qs}}, {}).ok());
        }
        QCOMPARE(readFile(throughQt, rows), expected);
    }
};

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_history_store.moc"

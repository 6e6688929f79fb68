// The bus monitor's model as views see it when a burst puts thousands of lines in per event-loop
// turn: the monitor holds every line at once, views learn of them together.
#include "BusMonitor.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {
QString line(int i, qsizetype valueLength = 3) {
    return QStringLiteral("2|%1|").arg(i % 700) + QString(valueLength, QChar(u'0' + i % 10));
}

QStringList rows(const BusMonitor &monitor) {
    QStringList shown;
    for (int row = 0; row < monitor.rowCount(); ++row)
        shown.append(monitor.data(monitor.index(row)).toString());
    return shown;
}
} // namespace

class TestBusMonitor : public QObject {
    Q_OBJECT
private slots:
    // Taken lines count at once for lines() and getlv; views get them in one insertion per turn
    // and then show what lines inserted one by one would show, the budgets applied alike.
    void takenLinesReachViewsTogether_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("taken");
        QTest::addColumn<int>("valueLength");
        QTest::newRow("a few into an empty monitor") << 0 << 5 << 3;
        QTest::newRow("a slice into a full monitor") << BusMonitor::kCapacity << 1000 << 3;
        QTest::newRow("long lines past the byte budget") << 1000 << 100 << 4000;
    }
    void takenLinesReachViewsTogether() {
        QFETCH(int, before);
        QFETCH(int, taken);
        QFETCH(int, valueLength);
        BusMonitor monitor;
        BusMonitor oneByOne;
        for (int i = 0; i < before; ++i) {
            monitor.insertTop(line(i, valueLength));
            oneByOne.insertTop(line(i, valueLength));
        }
        const QAbstractItemModelTester tester(&monitor, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&monitor, &QAbstractItemModel::rowsInserted);
        const QStringList shownBefore = rows(monitor);
        for (int i = before; i < before + taken; ++i) {
            monitor.takeLine(line(i, valueLength));
            oneByOne.insertTop(line(i, valueLength));
        }
        QCOMPARE(monitor.lines(), oneByOne.lines());
        QCOMPARE(monitor.bytes(), oneByOne.bytes());
        QCOMPARE(monitor.getlv(QString::number((before + taken - 1) % 700)),
                 oneByOne.getlv(QString::number((before + taken - 1) % 700)));
        QCOMPARE(rows(monitor), shownBefore);
        QCOMPARE(inserted.count(), 0);

        QTRY_COMPARE(inserted.count(), 1);
        QCOMPARE(rows(monitor), oneByOne.lines());
        QVERIFY(monitor.bytes() <= BusMonitor::kByteBudget);
    }

    // A line put on top at once keeps its place after the lines taken before it.
    void insertedLineComesAfterTakenOnes() {
        BusMonitor monitor;
        monitor.takeLine(u"2|1|1.0"_qs);
        monitor.takeLine(u"2|2|1.0"_qs);
        monitor.insertTop(u"-> 1|3|1"_qs);
        const QStringList expected{u"-> 1|3|1"_qs, u"2|2|1.0"_qs, u"2|1|1.0"_qs};
        QCOMPARE(rows(monitor), expected);
        QCOMPARE(monitor.lines(), expected);
    }

    // Lines taken without a turn of the event loop in between wait in bounded batches, so the rows
    // kept for views beside the monitor's own stay within the budget.
    void takenLinesWaitInBoundedBatches() {
        BusMonitor monitor;
        QSignalSpy inserted(&monitor, &QAbstractItemModel::rowsInserted);
        const int lines = 3 * int(BusMonitor::kMaxHeldLines) + 10;
        for (int i = 0; i < lines; ++i)
            monitor.takeLine(line(i));
        QCOMPARE(inserted.count(), 3);
        QTRY_COMPARE(inserted.count(), 4);
        QCOMPARE(monitor.rowCount(), lines);
    }

    void clearForgetsTakenLines() {
        BusMonitor monitor;
        monitor.insertTop(u"2|1|1.0"_qs);
        monitor.takeLine(u"2|2|1.0"_qs);
        monitor.clear();
        QCOMPARE(monitor.rowCount(), 0);
        QVERIFY(monitor.lines().isEmpty());
        QCOMPARE(monitor.getlv(u"2"_qs), std::nullopt);
        monitor.takeLine(u"2|3|1.0"_qs);
        QTRY_COMPARE(rows(monitor), QStringList{u"2|3|1.0"_qs});
    }
};

QTEST_GUILESS_MAIN(TestBusMonitor)
#include "tst_busmonitor.moc"

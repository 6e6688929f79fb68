// Decoding the lines the server sends, handing them to the value targets, the bus monitor with
// its budgets and `getlv`, and the clocks that tell a sleeping computer.
#include "BusMonitor.h"
#include "FakeDialogs.h"
#include "LinkFakes.h"
#include "ResumeDetector.h"
#include "ValueDispatch.h"

#include <QSignalSpy>
#include <QTest>

class TestLinkValues : public QObject {
    Q_OBJECT

private slots:
    // --- line decoding and dispatch ---------------------------------------------------------

    void decodeValueLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("decoded");
        QTest::addColumn<QString>("gan");
        QTest::addColumn<QString>("rawValue");
        QTest::addColumn<QString>("displayValue");
        // clang-format off
        QTest::newRow("switch value")         << "2|768|1.0"   << true  << "768"  << "1.0"     << "1,0";
        QTest::newRow("no second bar")        << "2|768"       << true  << "76"   << ""        << "";
        QTest::newRow("empty number")         << "2||55"       << true  << ""     << "55"      << "55";
        QTest::newRow("bars stay in value")   << "2|1|a.b|c.d" << true  << "1"    << "a.b|c.d" << "a,b|c,d";
        QTest::newRow("first two not looked") << "xy1280|21.5" << true  << "1280" << "21.5"    << "21,5";
        QTest::newRow("empty value")          << "2|7680|"     << true  << "7680" << ""        << "";
        QTest::newRow("five characters")      << "2|7|5"       << true  << "7"    << "5"       << "5";
        // Four characters or fewer go straight to the popup, bars or not.
        QTest::newRow("2||5")                 << "2||5"        << false << ""     << ""        << "";
        QTest::newRow("four characters")      << "2|76"        << false << ""     << ""        << "";
        QTest::newRow("x")                    << "x"           << false << ""     << ""        << "";
        QTest::newRow("empty")                << ""            << false << ""     << ""        << "";
        // clang-format on
    }
    void decodeValueLine() {
        QFETCH(QString, line);
        QFETCH(bool, decoded);
        const std::optional<DecodedLine> result = ::decodeValueLine(line);
        QCOMPARE(result.has_value(), decoded);
        if (!decoded)
            return;
        QTEST(result->gan, "gan");
        QTEST(result->rawValue, "rawValue");
        QTEST(result->displayValue, "displayValue");
    }

    void dispatchCallsTargetsInOrderThenRebuildsPopup_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("initial");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("value line") << "2|768|1.0" << false << QStringList{"saver", "menu", "load", "popup"};
        QTest::newRow("initial value line") << "2|768|1.0" << true << QStringList{"saver", "menu", "load"};
        QTest::newRow("short line still rebuilds") << "x" << false << QStringList{"popup"};
        QTest::newRow("empty reply still rebuilds") << "" << false << QStringList{"popup"};
        QTest::newRow("initial short line") << "2|76" << true << QStringList{};
    }
    void dispatchCallsTargetsInOrderThenRebuildsPopup() {
        QFETCH(QString, line);
        QFETCH(bool, initial);
        QStringList calls;
        RecordingTarget saver, menu, load;
        saver.name = "saver", menu.name = "menu", load.name = "load";
        saver.order = menu.order = load.order = &calls;
        ValueDispatch dispatch;
        for (RecordingTarget *target : {&saver, &menu, &load})
            dispatch.addTarget(target);
        dispatch.setPopupRebuild([&] { calls << "popup"; });
        dispatch.update_lv_menu(line, initial);
        QTEST(calls, "calls");
        for (const RecordingTarget *target : {&saver, &menu, &load}) {
            for (const RecordingTarget::Seen &seen : target->seen)
                QCOMPARE(seen.initial, initial);
        }
    }

    // --- bus monitor ------------------------------------------------------------------------

    void busMonitorKeepsNewestOnTopAndIsBounded() {
        BusMonitor monitor;
        QSignalSpy inserted(&monitor, &QAbstractItemModel::rowsInserted);
        for (int i = 0; i < BusMonitor::kCapacity + 5; ++i)
            monitor.insertTop(QStringLiteral("2|%1|1.0").arg(i));
        QCOMPARE(monitor.rowCount(), BusMonitor::kCapacity);
        QCOMPARE(monitor.data(monitor.index(0)).toString(), QStringLiteral("2|%1|1.0").arg(BusMonitor::kCapacity + 4));
        QCOMPARE(monitor.lines().constLast(), QStringLiteral("2|5|1.0"));
        QCOMPARE(inserted.count(), BusMonitor::kCapacity + 5);
        // The oldest numbers left the list but not the values getlv knows.
        QCOMPARE(monitor.getlv(QStringLiteral("0")), QStringLiteral("1,0"));
        monitor.clear();
        QCOMPARE(monitor.rowCount(), 0);
        QCOMPARE(monitor.getlv(QStringLiteral("0")), std::nullopt);
    }

    // Long lines fill the byte budget before the line count: the oldest rows go first, the
    // newest stays on top.
    void busMonitorKeepsItsByteBudget() {
        BusMonitor monitor;
        const QString value(BusMonitor::kMaxRowLength, u'7');
        const int count = int(BusMonitor::kByteBudget / (value.size() * 2)) + 100;
        for (int i = 0; i < count; ++i)
            monitor.insertTop(QStringLiteral("2|%1|").arg(i) + value);
        QVERIFY(monitor.bytes() <= BusMonitor::kByteBudget);
        QVERIFY(monitor.rowCount() < count);
        QVERIFY(monitor.lines().constFirst().startsWith(QStringLiteral("2|%1|").arg(count - 1)));
        QVERIFY(monitor.lines().constFirst().endsWith(u'…'));
        QCOMPARE(monitor.lines().constFirst().size(), BusMonitor::kMaxRowLength);
        // Every value is still whole for getlv while the map's own budget allows.
        QCOMPARE(monitor.getlv(QString::number(count - 1)), value);
    }

    // The map of newest values keeps at most kMaxNumbers numbers and kNumberBytesBudget bytes;
    // the number updated longest ago goes first.
    void getlvMapEvictsTheOldestNumber_data() {
        QTest::addColumn<int>("valueLength");
        QTest::addColumn<int>("numbers");
        QTest::newRow("many numbers") << 3 << int(BusMonitor::kMaxNumbers) + 10;
        QTest::newRow("long values") << 60000 << 200;
    }
    void getlvMapEvictsTheOldestNumber() {
        QFETCH(int, valueLength);
        QFETCH(int, numbers);
        BusMonitor monitor;
        const QString value(valueLength, u'5');
        monitor.insertTop(QStringLiteral("2|0|") + value);
        monitor.insertTop(QStringLiteral("2|1|") + value);
        for (int i = 2; i < numbers; ++i) {
            monitor.insertTop(QStringLiteral("2|%1|").arg(i) + value);
            if (i == 2)
                monitor.insertTop(QStringLiteral("2|0|") + value); // 0 is now newer than 1
        }
        QVERIFY(monitor.numberCount() < numbers);
        QVERIFY(monitor.numberCount() <= BusMonitor::kMaxNumbers);
        // Least recently updated first: 1, 2, 0, 3, 4, ... The evicted ones are a prefix of it.
        QList<int> order{1, 2, 0};
        for (int i = 3; i < numbers; ++i)
            order << i;
        const qsizetype evicted = numbers - monitor.numberCount();
        QCOMPARE(monitor.getlv(QString::number(order.at(evicted - 1))), std::nullopt);
        QCOMPARE(monitor.getlv(QString::number(order.at(evicted))), value);
        QCOMPARE(monitor.getlv(QString::number(numbers - 1)), value);
        monitor.clear();
        QCOMPARE(monitor.numberCount(), 0);
    }

    void getlv_data() {
        QTest::addColumn<QStringList>("inserted"); // oldest first
        QTest::addColumn<QString>("gan");
        QTest::addColumn<QString>("value"); // empty: not found
        // clang-format off
        QTest::newRow("newest matching line")   << QStringList{"1|768|21.5", "1|7680|5"}  << "768"   << "21,5";
        QTest::newRow("newer value wins")       << QStringList{"2|768|1.0", "2|768|0.0"}  << "768"   << "0,0";
        QTest::newRow("no line for the number") << QStringList{"2|7680|5", "OV offline"}  << "768"   << "";
        QTest::newRow("newest value empty")     << QStringList{"2|768|5", "2|768|"}       << "768"   << "";
        QTest::newRow("bars stay in the value") << QStringList{"2|70001|a|b.c"}           << "70001" << "a|b,c";
        QTest::newRow("sent lines count too")   << QStringList{"-> 1|768|1"}              << " 1"    << "768|1";
        QTest::newRow("number with a bar")      << QStringList{"2|1|2|3"}                 << "1|2"   << "3";
        QTest::newRow("short lines")            << QStringList{"x", "", "2|"}             << ""      << "";
        QTest::newRow("empty number")           << QStringList{"2||5"}                    << ""      << "5";
        // clang-format on
    }
    void getlv() {
        QFETCH(QStringList, inserted);
        QFETCH(QString, gan);
        QFETCH(QString, value);
        BusMonitor monitor;
        for (const QString &line : inserted)
            monitor.insertTop(line);
        const std::optional<QString> found = monitor.getlv(gan);
        QCOMPARE(found.value_or(QString()), value);
        QCOMPARE(found.has_value(), !value.isEmpty());
        // The editors' form answers "0,0" and tells the user once when there is no value.
        FakeDialogs dialogs;
        QCOMPARE(::getlv(monitor, gan, dialogs), value.isEmpty() ? QStringLiteral("0,0") : value);
        QCOMPARE(dialogs.texts(FakeDialogs::Kind::Error),
                 value.isEmpty()
                     ? QStringList{QStringLiteral("Konnte KO Wert nicht ermitteln.\rKO Wert auf 0 gesetzt!")}
                     : QStringList());
    }

    void resumeDetectorComparesClocks_data() {
        QTest::addColumn<qint64>("withSleepStep");
        QTest::addColumn<qint64>("withoutSleepStep");
        QTest::addColumn<bool>("resumed");
        QTest::newRow("awake") << qint64(5000) << qint64(5000) << false;
        QTest::newRow("short jitter") << qint64(5200) << qint64(5000) << false;
        QTest::newRow("slept an hour") << qint64(3600000) << qint64(5000) << true;
    }
    void resumeDetectorComparesClocks() {
        QFETCH(qint64, withSleepStep);
        QFETCH(qint64, withoutSleepStep);
        QFETCH(bool, resumed);
        qint64 withSleep = 1000, withoutSleep = 1000;
        ResumeDetector detector({[&] { return withSleep; },
                                 [&] {
                                     return withoutSleep;
                                 }},
                                60000);
        QSignalSpy spy(&detector, &ResumeDetector::resumed);
        withSleep += withSleepStep;
        withoutSleep += withoutSleepStep;
        detector.check();
        QCOMPARE(spy.count(), resumed ? 1 : 0);
        withSleep += 5000;
        withoutSleep += 5000;
        detector.check(); // the sleep counts once
        QCOMPARE(spy.count(), resumed ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkValues)
#include "tst_linkvalues.moc"

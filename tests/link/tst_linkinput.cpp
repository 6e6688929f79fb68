// Hostile and broken input from the server: memory stays within its budgets, the link stays up and
// the value after the input is applied.
#include "AnsiText.h"
#include "BusMonitor.h"
#include "LinkRig.h"

#include <QSignalSpy>
#include <QTest>

class TestLinkInput : public QObject {
    Q_OBJECT

private slots:
    // --- bad input --------------------------------------------------------------------------

    // A line that never ends costs no more than kMaxLineLength; it is dropped whole, with a note
    // in the bus monitor at its place, and a line of exactly that length still counts.
    void overlongLineIsDropped() {
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        const QString longest = "2|1|" + QString(GatewayLink::kMaxLineLength - 4, u'9');
        rig.peer.send(longest.toLatin1() + '\0' + QByteArray(1024 * 1024, 'A'));
        QTRY_COMPARE(rig.busLines().size(), 2);
        QVERIFY(rig.controller.link().incompleteLineLength() <= GatewayLink::kMaxLineLength);
        rig.peer.send(QByteArray(512 * 1024, 'B') + '\0' + lines({"2|2|1.0"}));
        QTRY_COMPARE(rig.target.count("2", "1.0", false), 1);
        QCOMPARE(rig.controller.link().incompleteLineLength(), 0);
        const QString note =
            QStringLiteral("Zeile vom OV verworfen: länger als %1 Zeichen").arg(GatewayLink::kMaxLineLength);
        // Its row is shown cut; the dispatch and `getlv` have it whole.
        const QString shownRow = longest.left(BusMonitor::kMaxRowLength - 1) + u'…';
        QCOMPARE(rig.busLines(), (QStringList{"2|2|1.0", note, shownRow}));
        QCOMPARE(rig.target.seen.size(), 2);
        QCOMPARE(rig.target.count("1", longest.mid(4), false), 1);
        QCOMPARE(rig.controller.busMonitor().getlv(QStringLiteral("1")), longest.mid(4));
        QVERIFY(rig.controller.link().isConnected());
    }

    // While nobody reads (a menu is open), what the server sends waits in the socket instead of
    // piling up in memory, and arrives complete and in order once the menu closes; a server that
    // closed meanwhile is noticed only after its last line.
    void unreadLinesStayBounded_data() {
        QTest::addColumn<bool>("serverCloses");
        QTest::newRow("server stays") << false;
        QTest::newRow("server closes after sending") << true;
    }
    void unreadLinesStayBounded() {
        QFETCH(bool, serverCloses);
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.controller.setMenuOpen(true);
        constexpr int kLines = 2000;
        const QByteArray filler(4000, 'v'); // 8 MB in all, more than the kernel buffers hold
        QByteArray burst;
        for (int i = 0; i < kLines; ++i)
            burst += "2|" + QByteArray::number(i) + '|' + filler + '\0';
        GatewayLink &link = rig.controller.link();
        QSignalSpy available(&link, &GatewayLink::linesAvailable);
        rig.peer.send(burst);
        if (serverCloses)
            rig.peer.closeClient(); // after everything is written
        QTRY_VERIFY(link.queuedBytes() >= GatewayLink::kMaxQueuedBytes);
        available.clear();
        QVERIFY(!available.wait(200)); // the link takes nothing more
        QVERIFY(link.queuedBytes() < GatewayLink::kMaxQueuedBytes + 64 * 1024);
        QVERIFY(rig.target.seen.isEmpty());
        rig.controller.setMenuOpen(false);
        QTRY_COMPARE(rig.target.seen.size(), kLines);
        for (int i = 0; i < kLines; ++i)
            QCOMPARE(rig.target.seen.at(i).line.gan, QString::number(i));
        if (serverCloses) {
            QTRY_VERIFY(rig.controller.watchdogEnabled());
            QCOMPARE(rig.view.header, kHeaderOffline);
            QVERIFY(rig.errors().isEmpty());
        } else {
            QCOMPARE(link.queuedBytes(), 0);
            QVERIFY(link.isConnected());
        }
    }

    // Hostile input of every kind: memory stays within the budgets, and the value after it is applied.
    void badInputLeavesLaterLinesApplied_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("5 MB without NUL") << QByteArray(5 * 1024 * 1024, 'A') + '\0';
        QByteArray distinct;
        const QByteArray value(2000, 'v');
        for (int i = 0; i < 5000; ++i)
            distinct += "2|" + QByteArray::number(100000 + i) + '|' + value + '\0';
        QTest::newRow("distinct numbers with long values") << distinct;
        QTest::newRow("lone NULs") << QByteArray(200000, '\0');
        QByteArray garbage(1024 * 1024, Qt::Uninitialized);
        quint32 seed = 7;
        for (char &byte : garbage) {
            seed = seed * 1103515245u + 12345u;
            byte = char(seed >> 24);
        }
        QTest::newRow("binary garbage") << garbage + '\0';
    }
    void badInputLeavesLaterLinesApplied() {
        QFETCH(QByteArray, bytes);
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.peer.send(bytes + lines({"2|9|1.0"}));
        QTRY_COMPARE_WITH_TIMEOUT(rig.target.count("9", "1.0", false), 1, 20000);
        const BusMonitor &monitor = rig.controller.busMonitor();
        QVERIFY(monitor.bytes() <= BusMonitor::kByteBudget);
        QVERIFY(monitor.numberCount() <= BusMonitor::kMaxNumbers);
        QCOMPARE(monitor.lines().constFirst(), QStringLiteral("2|9|1.0"));
        QVERIFY(rig.controller.link().queuedBytes() < GatewayLink::kMaxQueuedBytes + 64 * 1024);
        QVERIFY(rig.controller.link().isConnected());
    }

    void garbageDoesNoHarm() {
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        // Lone NULs carry nothing and are not shown; garbage is shown and dispatched as it comes.
        rig.peer.send(QByteArray(5, '\0') + raw("\x01\xff\xfe|\x80|\x7f\0ab\0x\0") + lines({"2|1|1.0"}));
        QTRY_COMPARE(rig.target.count("1", "1.0", false), 1);
        QCOMPARE(rig.busLines(), (QStringList{"2|1|1.0", "ab", AnsiText::decode("\x01\xff\xfe|\x80|\x7f")}));
        QCOMPARE(rig.target.count(AnsiText::decode("\xfe"), AnsiText::decode("\x80|\x7f"), false), 1);
        QVERIFY(rig.controller.link().isConnected());
        QVERIFY(rig.errors().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLinkInput)
#include "tst_linkinput.moc"

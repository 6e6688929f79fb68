#include "AnsiText.h"
#include "BusMonitor.h"
#include "FakeDialogs.h"
#include "FakeLinkView.h"
#include "FakeTrayIcon.h"
#include "GatewayLink.h"
#include "LinkController.h"
#include "LinkFakes.h"
#include "OvsimProcess.h"
#include "ResumeDetector.h"
#include "TestPeer.h"
#include "ValueDispatch.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {
const QString kStartupError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                             "Einstellungen und klicke auf klicke auf connect");
const QString kButtonError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                            "Einstellungen und starte danach das Programm neu!");
const QString kHeaderOffline = QStringLiteral("Programmeinstellungen - offline");

// Short intervals so the timers' rules run in a test's time.
LinkTimings fastTimings() {
    LinkTimings timings;
    timings.pollIntervalMs = 100;
    timings.watchdogIntervalMs = 300;
    timings.connectReadTimeoutMs = 200;
    timings.pollReadTimeoutMs = 100;
    timings.connectTimeoutMs = 1000;
    timings.resumeCheckIntervalMs = 0;
    return timings;
}

// The controller with the window's side faked, a recording value target and a popup counter.
struct Rig {
    FakeLinkView view;
    FakeTrayIcon tray;
    FakeDialogs dialogs;
    RecordingTarget target;
    int popups = 0;
    LinkController controller;

    explicit Rig(LinkTimings timings = fastTimings()) : controller(view, tray, dialogs, timings) {
        controller.dispatch().addTarget(&target);
        controller.dispatch().setPopupRebuild([this] { ++popups; });
        controller.link().setHost(QStringLiteral("127.0.0.1"));
    }
    void usePort(quint16 port) {
        controller.link().setPort(port);
        view.port = QString::number(port);
    }
    QStringList balloonTexts() const {
        QStringList texts;
        for (const FakeTrayIcon::Balloon &balloon : tray.balloons)
            texts << balloon.text;
        return texts;
    }
    QStringList errors() const { return dialogs.texts(FakeDialogs::Kind::Error); }
    QStringList busLines() { return controller.busMonitor().lines(); }
    QTimer *timer(const char *name) { return controller.findChild<QTimer *>(QLatin1String(name)); }
};

// The rig with a scripted gateway on loopback that the controller is pointed at.
struct PeerRig : Rig {
    TestPeer peer;

    explicit PeerRig(LinkTimings timings = fastTimings()) : Rig(timings) {}
    bool listen() {
        if (!peer.listen())
            return false;
        usePort(peer.port());
        return true;
    }
};

// A byte literal with its embedded NULs, without the one the compiler adds.
template <size_t N> QByteArray raw(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

QByteArray lines(std::initializer_list<const char *> texts) {
    QByteArray bytes;
    for (const char *text : texts)
        bytes += QByteArray(text) + '\0';
    return bytes;
}
} // namespace

class TestLink : public QObject {
    Q_OBJECT

    // Connects through the connect button and waits until its drain is over: the "connected"
    // status sets the online header, the end of the button's drain sets it once more.
    static bool connectByButton(Rig &rig) {
        const int before = rig.view.headerOnlineCount;
        rig.controller.ovconnectbtnClick();
        return QTest::qWaitFor([&] { return rig.view.headerOnlineCount == before + 2; }) &&
               rig.controller.pollingEnabled() && rig.view.buttonShowsDisconnect &&
               rig.controller.connectButtonShowsDisconnect();
    }

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

    // --- the connection itself --------------------------------------------------------------

    void linkReportsStatusTexts_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("firstStatus");
        QTest::newRow("address") << "127.0.0.1"
                                 << "Verbinden mit 127.0.0.1.";
        QTest::newRow("host name") << "localhost"
                                   << "Host-Name localhost wird aufgelöst.";
    }
    void linkReportsStatusTexts() {
        QFETCH(QString, host);
        QFETCH(QString, firstStatus);
        TestPeer peer;
        QVERIFY(peer.listen());
        GatewayLink link;
        QStringList statuses;
        connect(&link, &GatewayLink::onStatus, this,
                [&](GatewayLink::Status, const QString &text) { statuses << text; });
        QSignalSpy succeeded(&link, &GatewayLink::connectSucceeded);
        link.setHost(host);
        link.setPort(peer.port());
        QVERIFY(link.connect());
        QVERIFY(!link.connect()); // an attempt under way refuses another
        QVERIFY(succeeded.wait());
        QVERIFY(link.isConnected());
        QCOMPARE(statuses.constFirst(), firstStatus);
        QCOMPARE(statuses.constLast(), QStringLiteral("Verbunden."));
        QVERIFY(!link.connect());
        statuses.clear();
        link.disconnect();
        QCOMPARE(statuses, (QStringList{"Verbindung zu 127.0.0.1 wird getrennt.", "Nicht verbunden."}));
        QVERIFY(!link.isConnected());
        statuses.clear();
        link.disconnect();
        QVERIFY(statuses.isEmpty());
    }

    void linkReportsFailedAttempts_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("refused") << "refused";
        QTest::newRow("unknown host") << "unknown host";
        QTest::newRow("black hole") << "black hole";
        QTest::newRow("port 0") << "port 0";
    }
    void linkReportsFailedAttempts() {
        QFETCH(QString, fault);
        GatewayLink link;
        link.setConnectTimeout(300);
        link.setHost(QStringLiteral("127.0.0.1"));
        std::unique_ptr<BlackHole> blackHole;
        if (fault == "refused") {
            TestPeer closed;
            QVERIFY(closed.listen());
            link.setPort(closed.port());
        } else if (fault == "unknown host") {
            link.setHost(QStringLiteral("quendra-test.invalid"));
            link.setPort(1);
        } else if (fault == "black hole") {
            blackHole = std::make_unique<BlackHole>();
            QVERIFY(blackHole->ready());
            link.setPort(blackHole->port());
        }
        QList<GatewayLink::Status> statuses;
        connect(&link, &GatewayLink::onStatus, this, [&](GatewayLink::Status status) { statuses << status; });
        QSignalSpy failed(&link, &GatewayLink::connectFailed);
        QVERIFY(link.connect());
        QVERIFY(failed.wait());
        QVERIFY(!failed.first().first().toString().isEmpty());
        QVERIFY(!link.isConnected() && !link.isConnecting());
        QVERIFY(statuses.size() >= 2);
        QCOMPARE(statuses.mid(statuses.size() - 2),
                 (QList{GatewayLink::Status::Disconnecting, GatewayLink::Status::Disconnected}));
    }

    void linkCutsLinesAtNul() {
        TestPeer peer;
        QVERIFY(peer.listen());
        GatewayLink link;
        link.setHost(QStringLiteral("127.0.0.1"));
        link.setPort(peer.port());
        QSignalSpy available(&link, &GatewayLink::linesAvailable);
        QVERIFY(link.connect());
        QTRY_VERIFY(peer.hasClient());
        peer.send("2|76");
        QVERIFY(!available.wait(100)); // an incomplete line is kept, not handed out
        peer.send(raw("8|1.0\0\0\xe4\x80\x01|\xff\0tail"));
        QVERIFY(available.wait());
        QTRY_COMPARE(link.incompleteLineLength(), 4);
        QCOMPARE(link.readLine(), QStringLiteral("2|768|1.0"));
        QCOMPARE(link.readLine(), QString(""));
        QCOMPARE(link.readLine(), AnsiText::decode("\xe4\x80\x01|\xff"));
        QCOMPARE(link.readLine(), std::nullopt);
        QVERIFY(link.sendLine("1|768|1"));
        QTRY_COMPARE(peer.received(), raw("1|768|1\0"));
    }

    // Whatever a caller passes, one line leaves: NUL, CR and LF inside it go out as blanks, and the
    // bus monitor says the line was changed.
    void sentLineIsAlwaysOneLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<bool>("noted");
        QTest::newRow("plain") << QStringLiteral("1|768|1") << QByteArray("1|768|1") << false;
        QTest::newRow("NUL from a subject")
            << QStringLiteral("1|120|Post ist da") + QChar(0) + QStringLiteral("1|768|1.0")
            << QByteArray("1|120|Post ist da 1|768|1.0") << true;
        QTest::newRow("CR LF from a name")
            << QStringLiteral("1|121|Anna\r\n1|768|1") << QByteArray("1|121|Anna  1|768|1") << true;
        QTest::newRow("LF alone") << QStringLiteral("1|5|a\nb") << QByteArray("1|5|a b") << true;
        QTest::newRow("NUL at the end") << QStringLiteral("1|5|x%1").arg(QChar(0)) << QByteArray("1|5|x ") << true;
        // Other control characters end no line: the link leaves them alone.
        QTest::newRow("tab stays") << QStringLiteral("1|5|a\tb") << QByteArray("1|5|a\tb") << false;
    }
    void sentLineIsAlwaysOneLine() {
        QFETCH(QString, line);
        QFETCH(QByteArray, wire);
        QFETCH(bool, noted);
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        CommandChannel &channel = rig.controller;
        QVERIFY(channel.sendLine(line));
        QTRY_COMPARE(rig.peer.received().size(), rig.view.key.size() + 1 + wire.size() + 1);
        QCOMPARE(rig.peer.received().mid(rig.view.key.size() + 1), wire + '\0');
        QCOMPARE(rig.busLines().contains(LinkController::kLineBreaksBlanked), noted);
    }

    void keyLineIsOneLine() {
        PeerRig rig;
        QVERIFY(rig.listen());
        rig.view.key = QStringLiteral("geheim\r\n1|768|1");
        QVERIFY(connectByButton(rig));
        QTRY_COMPARE(rig.peer.received(), raw("geheim  1|768|1\0"));
    }

    // --- start-up connection ----------------------------------------------------------------

    void startupReadsQueuedLinesAsInitial() {
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = 1000; // the queued lines belong to the start-up drain alone
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        rig.peer.greeting = lines({"2|1|0.0", "2|768|40.0"});
        rig.view.key = QStringLiteral("Kü€1");
        QList<int> progress;
        std::optional<bool> done;
        rig.controller.startupConnect([&](int position) { progress << position; }, [&](bool ok) { done = ok; });
        QTRY_VERIFY(done.has_value());
        QCOMPARE(*done, true);
        // The key as the edit holds it, in the ANSI code page, then one NUL.
        QCOMPARE(rig.peer.received(), raw("K\xfc\x80"
                                          "1\0"));
        QCOMPARE(rig.busLines(), (QStringList{"2|768|40.0", "2|1|0.0"}));
        QCOMPARE(rig.target.count("1", "0.0", true), 1);
        QCOMPARE(rig.target.count("768", "40.0", true), 1);
        QCOMPARE(rig.popups, 0);
        QCOMPARE(progress, (QList<int>{0, 1, 2}));
        QCOMPARE(rig.view.status, QStringLiteral("Mit OV verbunden / 0 KO gefunden"));
        QVERIFY(rig.view.onlineVisible);
        QVERIFY(rig.view.buttonShowsDisconnect);
        QCOMPARE(rig.view.header, "Programmeinstellungen - Verbunden mit 127.0.0.1:" + rig.view.port);
        QCOMPARE(rig.view.rollUps, 1);
        QVERIFY(rig.errors().isEmpty());
        QCOMPARE(rig.balloonTexts(), (QStringList{"Verbinden mit 127.0.0.1.", "Verbunden."}));
        for (const FakeTrayIcon::Balloon &balloon : rig.tray.balloons) {
            QCOMPARE(balloon.title, QStringLiteral("Verbindungsstatus zum Orvanel:"));
            QCOMPARE(balloon.timeoutMs, 2000);
        }

        // Later lines come with the polling, not initial, and rebuild the popup.
        rig.controller.startPolling();
        rig.peer.send(lines({"2|768|55"}));
        QTRY_COMPARE(rig.target.count("768", "55", false), 1);
        QCOMPARE(rig.busLines().constFirst(), QStringLiteral("2|768|55"));
        QTRY_COMPARE(rig.popups, 1);
    }

    void startupProgressWraps() {
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = 60000;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        for (int i = 0; i < 102; ++i)
            rig.peer.greeting += QStringLiteral("2|%1|1.0").arg(i).toLatin1() + '\0';
        QList<int> progress;
        bool done = false;
        rig.controller.startupConnect([&](int position) { progress << position; }, [&](bool) { done = true; });
        QTRY_VERIFY(done);
        QList<int> expected;
        for (int read = 0; read < 103; ++read) // 102 lines and the read that times out
            expected << read % 101;
        QCOMPARE(progress, expected);
    }

    void startupMakesNoAttempt_data() {
        QTest::addColumn<bool>("offline");
        QTest::addColumn<bool>("portZero");
        QTest::newRow("offline ticked") << true << false;
        QTest::newRow("gateway port 0") << false << true;
    }
    void startupMakesNoAttempt() {
        QFETCH(bool, offline);
        QFETCH(bool, portZero);
        TestPeer peer;
        QVERIFY(peer.listen());
        Rig rig;
        rig.usePort(portZero ? 0 : peer.port());
        rig.view.offline = offline;
        std::optional<bool> done;
        rig.controller.startupConnect({}, [&](bool ok) { done = ok; });
        QCOMPARE(done, false);
        rig.controller.startPolling();
        QSignalSpy ticks(rig.timer("Timer1"), &QTimer::timeout);
        QVERIFY(ticks.wait());
        QCOMPARE(peer.connectionCount(), 0);
        QVERIFY(!rig.controller.link().isConnecting());
        QVERIFY(rig.tray.balloons.isEmpty());
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QCOMPARE(rig.view.header, QStringLiteral("Programmeinstellungen"));
    }

    void startupFailureShowsItsErrorBox_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("refused") << "refused";
        QTest::newRow("key refused, connection closed") << "closed after key";
    }
    void startupFailureShowsItsErrorBox() {
        QFETCH(QString, fault);
        PeerRig rig;
        QVERIFY(rig.listen());
        rig.peer.closeAfterKey = true;
        if (fault == "refused")
            rig.peer.stopListening();
        rig.view.onlineVisible = true; // the offline look has to hide it
        std::optional<bool> done;
        rig.controller.startupConnect({}, [&](bool ok) { done = ok; });
        QTRY_VERIFY(done.has_value());
        QCOMPARE(*done, false);
        QCOMPARE(rig.errors(), QStringList{kStartupError});
        QVERIFY(!rig.view.buttonShowsDisconnect);
        QVERIFY(!rig.view.onlineVisible);
        QCOMPARE(rig.view.header, kHeaderOffline);
        if (fault == "refused") // a failed attempt reports "disconnected": the watchdog runs
            QVERIFY(rig.controller.watchdogEnabled());
    }

    // A server that says nothing after the key: every drain ends after its time-out, with an
    // empty `lastLine` and the bus monitor unchanged, and the window stays alive meanwhile.
    void silentServerEndsEveryDrainAndTheWindowStaysAlive_data() {
        QTest::addColumn<QString>("use");
        QTest::newRow("start-up") << "start-up";
        QTest::newRow("connect button") << "button";
        QTest::newRow("watchdog") << "watchdog";
        QTest::newRow("polling") << "polling";
    }
    void silentServerEndsEveryDrainAndTheWindowStaysAlive() {
        QFETCH(QString, use);
        LinkTimings timings = fastTimings();
        timings.connectReadTimeoutMs = 250;
        timings.pollReadTimeoutMs = 250;
        timings.pollIntervalMs = 60000;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        std::function<bool()> done;
        if (use == "start-up") {
            auto finished = std::make_shared<bool>(false);
            rig.controller.startupConnect({}, [finished](bool) { *finished = true; });
            done = [finished] {
                return *finished;
            };
        } else if (use == "button") {
            rig.controller.ovconnectbtnClick();
            done = [&rig] {
                return rig.view.headerOnlineCount == 2;
            };
        } else if (use == "watchdog") {
            // A tick while a menu is open leaves "x" behind, so the reconnect drain reads.
            rig.controller.setMenuOpen(true);
            rig.controller.Timer1Timer();
            rig.controller.setMenuOpen(false);
            rig.controller.Timer2Timer();
            done = [&rig] {
                return rig.view.status == QStringLiteral("Mit OV wieder verbunden ...");
            };
        } else {
            QVERIFY(connectByButton(rig));
            rig.controller.Timer1Timer();
            done = [&rig] {
                return rig.controller.lastLine().isEmpty();
            };
        }
        // A zero-interval timer keeps firing while the drain waits for its time-out.
        int turns = 0;
        QTimer spinner;
        connect(&spinner, &QTimer::timeout, this, [&] { ++turns; });
        spinner.start(0);
        QTRY_VERIFY(rig.peer.hasClient() && rig.peer.received().endsWith('\0'));
        QTRY_VERIFY(turns > 100 || done());
        QVERIFY(!done());
        QTRY_VERIFY(done());
        QVERIFY(rig.busLines().isEmpty());
        QVERIFY(rig.errors().isEmpty());
        QVERIFY(rig.controller.lastLine().isEmpty());
        QVERIFY(rig.controller.link().isConnected());
    }

    // A server that never stops sending: the first polling tick takes over the start-up drain and
    // reads on without `initial`; the start-up still ends while the server is sending, and the
    // poll goes on taking the lines.
    void pollingTakesOverAnEndlessStartupDrain() {
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = 300;
        PeerRig rig(timings);
        rig.controller.drains().setInitialDrainLimit(1500);
        QVERIFY(rig.listen());
        rig.peer.greeting = lines({"2|1|1.0"});
        int sent = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, this,
                [&] { rig.peer.send(QStringLiteral("2|2|%1").arg(++sent).toLatin1() + '\0'); });
        std::optional<bool> done;
        bool sendingWhenDone = false;
        rig.controller.startupConnect({}, [&](bool ok) {
            done = ok;
            sendingWhenDone = stream.isActive();
        });
        QTRY_VERIFY(rig.peer.hasClient());
        stream.start(20);
        QTRY_VERIFY(rig.target.count("1", "1.0", true) == 1);
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(rig.target.seen.cbegin(), rig.target.seen.cend(),
                                             [](const RecordingTarget::Seen &s) { return !s.initial; }),
                                 5000);
        QTRY_VERIFY_WITH_TIMEOUT(done.has_value(), 5000);
        QVERIFY(*done);
        QVERIFY(sendingWhenDone);
        const int sentAtEnd = sent;
        QTRY_VERIFY(rig.target.count("2", QString::number(sentAtEnd + 5), false) == 1);
        stream.stop();
    }

    // A line every 300 ms for ever: no connection drain ever sees its second of silence, yet each
    // ends after its time limit (the real one, 5 s) and polling takes the lines from then on.
    void endlessServerEndsTheConnectionDrains_data() {
        QTest::addColumn<QString>("use");
        QTest::newRow("start-up") << "start-up";
        QTest::newRow("connect button") << "connect button";
    }
    void endlessServerEndsTheConnectionDrains() {
        QFETCH(QString, use);
        LinkTimings timings; // the program's own intervals and time-outs
        timings.resumeCheckIntervalMs = 0;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        int sent = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, this,
                [&] { rig.peer.send(QStringLiteral("2|3|%1").arg(++sent).toLatin1() + '\0'); });
        connect(&rig.peer, &TestPeer::keyReceived, &stream, [&] { stream.start(300); });
        bool done = false;
        if (use == "start-up") {
            rig.controller.startupConnect({}, [&](bool ok) { done = ok; });
        } else {
            // The "connected" status sets the online header, the end of the drain sets it again.
            rig.controller.ovconnectbtnClick();
        }
        QTRY_VERIFY_WITH_TIMEOUT(use == "start-up" ? done : rig.view.headerOnlineCount == 2, 10000);
        QVERIFY(stream.isActive());
        QVERIFY(rig.target.count("3", "1", true) == 1);
        const int sentAtEnd = sent;
        QTRY_VERIFY_WITH_TIMEOUT(rig.target.count("3", QString::number(sentAtEnd + 3), false) == 1, 5000);
        stream.stop();
    }

    // --- "x" lines in the four drains -------------------------------------------------------

    void lineXPerDrain_data() {
        QTest::addColumn<QString>("use");
        QTest::addColumn<bool>("shown");
        QTest::newRow("start-up") << "start-up" << true;
        QTest::newRow("connect button") << "button" << false;
        QTest::newRow("watchdog") << "watchdog" << true;
        QTest::newRow("polling") << "polling" << false;
    }
    void lineXPerDrain() {
        QFETCH(QString, use);
        QFETCH(bool, shown);
        const QByteArray payload = lines({"x", "2|1|1.0"});
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = use == "polling" ? 100 : 60000;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        if (use == "start-up") {
            rig.peer.greeting = payload;
            bool done = false;
            rig.controller.startupConnect({}, [&](bool) { done = true; });
            QTRY_VERIFY(done);
        } else if (use == "button") {
            rig.peer.greeting = payload;
            QVERIFY(connectByButton(rig));
        } else if (use == "watchdog") {
            rig.peer.greeting = payload;
            // A tick while a menu is open leaves "x" behind, so the reconnect drain reads.
            rig.controller.setMenuOpen(true);
            rig.controller.Timer1Timer();
            rig.controller.setMenuOpen(false);
            QCOMPARE(rig.controller.lastLine(), QStringLiteral("x"));
            rig.controller.Timer2Timer();
            QTRY_COMPARE(rig.view.status, QStringLiteral("Mit OV wieder verbunden ..."));
        } else {
            QVERIFY(connectByButton(rig));
            rig.peer.send(payload);
        }
        QTRY_COMPARE(rig.target.count("1", "1.0", use != "polling"), 1);
        QCOMPARE(rig.busLines().contains("x"), shown);
        // Once, when the drain ends.
        QTRY_COMPARE(rig.popups, use == "polling" ? 1 : 0);
    }

    // The button's and the watchdog's drains take every queued line as `initial`, even when the
    // server sends for longer than a polling interval: the polling timer runs meanwhile, but no
    // tick gets in between their reads.
    void connectionDrainKeepsItsLinesInitial_data() {
        QTest::addColumn<QString>("use");
        QTest::newRow("connect button") << "button";
        QTest::newRow("watchdog") << "watchdog";
    }
    void connectionDrainKeepsItsLinesInitial() {
        QFETCH(QString, use);
        PeerRig rig; // polling every 100 ms, connection drains end after 200 ms of silence
        QVERIFY(rig.listen());
        rig.peer.greeting = lines({"2|9|0"});
        constexpr int kQueued = 12;
        int sent = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, this, [&] {
            rig.peer.send(QStringLiteral("2|9|%1").arg(++sent).toLatin1() + '\0');
            if (sent == kQueued)
                stream.stop();
        });
        connect(&rig.peer, &TestPeer::keyReceived, &stream, [&] { stream.start(25); });
        if (use == "button") {
            QVERIFY(connectByButton(rig));
        } else {
            // A tick while a menu is open leaves "x" behind, so the reconnect drain reads.
            rig.controller.setMenuOpen(true);
            rig.controller.Timer1Timer();
            rig.controller.setMenuOpen(false);
            rig.controller.Timer2Timer();
            QTRY_COMPARE(rig.view.status, QStringLiteral("Mit OV wieder verbunden ..."));
        }
        QCOMPARE(sent, kQueued);
        QCOMPARE(rig.target.seen.size(), kQueued + 1);
        QCOMPARE(rig.target.count("9", QString::number(kQueued), true), 1);
        QCOMPARE(rig.popups, 0);
        rig.peer.send(lines({"2|9|later"}));
        QTRY_COMPARE(rig.target.count("9", "later", false), 1);
    }

    // --- losing the server and the watchdog -------------------------------------------------

    void serverGoneSwitchesToWatchdog_data() {
        QTest::addColumn<bool>("reset");
        QTest::newRow("server closes") << false;
        QTest::newRow("connection reset") << true;
    }
    void serverGoneSwitchesToWatchdog() {
        QFETCH(bool, reset);
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.tray.balloons.clear();
        QSignalSpy watchdogTicks(rig.timer("Timer2"), &QTimer::timeout);
        reset ? rig.peer.resetClient() : rig.peer.closeClient();

        QTRY_VERIFY(rig.controller.watchdogEnabled());
        QVERIFY(!rig.controller.pollingEnabled());
        QVERIFY(!rig.view.onlineVisible);
        QVERIFY(!rig.view.buttonShowsDisconnect);
        QCOMPARE(rig.view.header, kHeaderOffline);
        QCOMPARE(rig.balloonTexts().mid(0, 2),
                 (QStringList{"Verbindung zu 127.0.0.1 wird getrennt.", "Nicht verbunden."}));
        QVERIFY(rig.errors().isEmpty());

        // The watchdog's attempt: "OV offline", then a reconnect that clears the bus monitor.
        QTRY_VERIFY(watchdogTicks.count() >= 1);
        QTRY_COMPARE(rig.view.status, QStringLiteral("Mit OV wieder verbunden ..."));
        QCOMPARE(rig.peer.connectionCount(), 2);
        QVERIFY(!rig.busLines().contains("OV offline"));
        QVERIFY(rig.view.onlineVisible);
        QVERIFY(rig.controller.pollingEnabled());
        QVERIFY(!rig.controller.watchdogEnabled());
        QVERIFY(rig.errors().isEmpty());
        rig.peer.send(lines({"2|1025|1.0"}));
        QTRY_COMPARE(rig.target.count("1025", "1.0", false), 1);
    }

    void watchdogKeepsTryingWhileServerIsDown() {
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.peer.stopListening();
        rig.peer.closeClient();
        QSignalSpy watchdogTicks(rig.timer("Timer2"), &QTimer::timeout);
        QTRY_VERIFY(watchdogTicks.count() >= 3);
        QVERIFY(rig.controller.watchdogEnabled());
        QVERIFY(rig.busLines().count("OV offline") >= 3);
        QVERIFY(rig.errors().isEmpty());
        QVERIFY(!rig.view.onlineVisible);
    }

    void disconnectButton_data() {
        QTest::addColumn<bool>("offline");
        QTest::newRow("automatic connection on") << false;
        QTest::newRow("offline ticked") << true;
    }
    void disconnectButton() {
        QFETCH(bool, offline);
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.view.offline = offline;
        rig.tray.balloons.clear();
        rig.controller.ovconnectbtnClick();
        QCOMPARE(rig.view.header, kHeaderOffline);
        QVERIFY(!rig.view.buttonShowsDisconnect);
        QVERIFY(!rig.controller.pollingEnabled());
        QVERIFY(!rig.controller.link().isConnected());
        if (offline) {
            QVERIFY(rig.view.onlineVisible); // left as it was
            QVERIFY(rig.tray.balloons.isEmpty());
            QVERIFY(!rig.controller.watchdogEnabled());
            return;
        }
        QVERIFY(!rig.view.onlineVisible);
        QCOMPARE(rig.balloonTexts(), (QStringList{"Verbindung zu 127.0.0.1 wird getrennt.", "Nicht verbunden."}));
        QVERIFY(rig.controller.watchdogEnabled());
        QTRY_COMPARE(rig.view.status, QStringLiteral("Mit OV wieder verbunden ..."));
        QCOMPARE(rig.peer.connectionCount(), 2);
        // The last polling drain left `lastLine` empty, so the reconnect read nothing itself:
        // what the server sends now comes with the next polling tick, not initial.
        rig.peer.send(lines({"2|768|1.0"}));
        QTRY_COMPARE(rig.target.count("768", "1.0", false), 1);
    }

    void connectButtonFailure_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("refused") << "refused";
        QTest::newRow("black hole") << "black hole";
        QTest::newRow("key refused") << "closed after key";
    }
    void connectButtonFailure() {
        QFETCH(QString, fault);
        LinkTimings timings = fastTimings();
        timings.connectTimeoutMs = 300;
        timings.watchdogIntervalMs = 60000;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        std::unique_ptr<BlackHole> blackHole;
        if (fault == "refused") {
            rig.peer.stopListening();
        } else if (fault == "black hole") {
            blackHole = std::make_unique<BlackHole>();
            QVERIFY(blackHole->ready());
            rig.usePort(blackHole->port());
        } else {
            rig.peer.closeAfterKey = true;
        }
        rig.controller.ovconnectbtnClick();
        QTRY_COMPARE(rig.errors(), QStringList{kButtonError});
        QVERIFY(!rig.view.buttonShowsDisconnect);
        QCOMPARE(rig.view.header, kHeaderOffline);
    }

    // An important message is a modal box shown in the middle of a dispatch: polling goes on
    // inside it, and the interrupted drain ends once the inner one has read everything.
    void pollingGoesOnUnderAModalBoxInADispatch() {
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        struct ModalTarget : ValueTarget {
            TestPeer *peer = nullptr;
            RecordingTarget *seen = nullptr;
            bool innerValueSeen = false;
            void onValue(const DecodedLine &line, bool) override {
                if (line.gan != "5")
                    return;
                peer->send(lines({"2|6|1.0"}));
                QEventLoop modal;
                QTimer check;
                connect(&check, &QTimer::timeout, &modal, [&] {
                    if (seen->count("6", "1.0", false) == 1)
                        modal.quit();
                });
                check.start(10);
                QTimer::singleShot(5000, &modal, &QEventLoop::quit);
                modal.exec();
                innerValueSeen = seen->count("6", "1.0", false) == 1;
            }
        } modal;
        modal.peer = &rig.peer;
        modal.seen = &rig.target;
        rig.controller.dispatch().addTarget(&modal);
        rig.peer.send(lines({"2|5|1.0"}));
        QTRY_VERIFY(modal.innerValueSeen);
        rig.peer.send(lines({"2|7|1.0"}));
        QTRY_COMPARE(rig.target.count("7", "1.0", false), 1);
        QCOMPARE(rig.busLines(), (QStringList{"2|7|1.0", "2|6|1.0", "2|5|1.0"}));
        QCOMPARE(rig.target.seen.size(), 3);
        rig.controller.dispatch().removeTarget(&modal);
    }

    void menuOpenPausesPolling_data() {
        QTest::addColumn<bool>("duringPoll");
        QTest::newRow("menu opened between two ticks") << false;
        QTest::newRow("menu opened while a poll waits") << true;
    }
    void menuOpenPausesPolling() {
        QFETCH(bool, duringPoll);
        LinkTimings timings = fastTimings();
        timings.pollReadTimeoutMs = 1000; // a poll that is still waiting when the menu opens
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        if (duringPoll)
            rig.controller.Timer1Timer();
        rig.controller.setMenuOpen(true);
        rig.peer.send(lines({"2|1|1.0"}));
        QSignalSpy ticks(rig.timer("Timer1"), &QTimer::timeout);
        QTRY_VERIFY(ticks.count() >= 3);
        QVERIFY(rig.target.seen.isEmpty());
        QCOMPARE(rig.popups, 0);
        rig.controller.setMenuOpen(false);
        QTRY_COMPARE(rig.target.count("1", "1.0", false), 1);
        QTRY_COMPARE(rig.popups, 1);
    }

    // Closing the window while something is under way: nothing reports back into it.
    void closeLinkEndsEverythingQuietly_data() {
        QTest::addColumn<QString>("pending");
        QTest::newRow("start-up attempt") << "start-up attempt";
        QTest::newRow("connect button attempt") << "button attempt";
        QTest::newRow("start-up drain") << "start-up drain";
        QTest::newRow("awaited reply") << "reply";
    }
    void closeLinkEndsEverythingQuietly() {
        QFETCH(QString, pending);
        TestPeer peer;
        QVERIFY(peer.listen());
        BlackHole blackHole;
        QVERIFY(blackHole.ready());
        Rig rig;
        rig.usePort(pending.endsWith("attempt") ? blackHole.port() : peer.port());
        bool reported = false;
        if (pending == "button attempt") {
            rig.controller.ovconnectbtnClick();
        } else if (pending == "reply") {
            QVERIFY(connectByButton(rig));
            rig.controller.awaitLine(1000, [&](const std::optional<QString> &, const QString &) { reported = true; });
        } else {
            rig.controller.startupConnect({}, [&](bool) { reported = true; });
            if (pending == "start-up drain")
                QTRY_VERIFY(peer.hasClient() && peer.received().endsWith('\0'));
        }
        QVERIFY(rig.controller.link().isConnecting() || rig.controller.link().isConnected());
        rig.controller.closeLink();
        QVERIFY(!rig.controller.link().isConnecting() && !rig.controller.link().isConnected());
        QVERIFY(!rig.controller.pollingEnabled() && !rig.controller.watchdogEnabled());
        QCOMPARE(rig.balloonTexts().constLast(), QStringLiteral("Nicht verbunden."));
        QCoreApplication::processEvents(); // posted work of the link may run, and must find nothing
        QVERIFY(!reported);
        QVERIFY(rig.dialogs.boxes.isEmpty());
    }

    void resumeReconnectsAtOnce() {
        LinkTimings timings = fastTimings();
        timings.watchdogIntervalMs = 60000; // only the resume may bring the link back here
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.tray.balloons.clear();
        rig.controller.checkAfterResume();
        QTRY_COMPARE(rig.view.status, QStringLiteral("Mit OV wieder verbunden ..."));
        QCOMPARE(rig.peer.connectionCount(), 2);
        QCOMPARE(rig.balloonTexts(), (QStringList{"Verbindung zu 127.0.0.1 wird getrennt.", "Nicht verbunden.",
                                                  "Verbinden mit 127.0.0.1.", "Verbunden."}));
        QVERIFY(rig.controller.pollingEnabled());
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

    // --- bursts -----------------------------------------------------------------------------

    // Twenty thousand lines at once: every one applied in order, the last value last, the event
    // loop turning between slices, and the popup rebuilt once per drain, not per line.
    void burstIsTakenInSlices() {
        LinkTimings timings = fastTimings();
        timings.pollReadTimeoutMs = 500;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        int turns = 0;
        QTimer turn;
        connect(&turn, &QTimer::timeout, this, [&] { ++turns; });
        turn.start(0);
        struct TurnsSeen : ValueTarget {
            const int *turns = nullptr;
            QList<int> atLine;
            void onValue(const DecodedLine &, bool) override { atLine << *turns; }
        } turnsSeen;
        turnsSeen.turns = &turns;
        rig.controller.dispatch().addTarget(&turnsSeen);
        constexpr int kLines = 20000;
        QByteArray burst;
        for (int i = 0; i < kLines; ++i)
            burst += QStringLiteral("2|%1|%2").arg(100 + i % 7).arg(i).toLatin1() + '\0';
        const int popupsBefore = rig.popups;
        rig.peer.send(burst);
        QTRY_COMPARE_WITH_TIMEOUT(rig.target.seen.size(), kLines, 20000);
        QCOMPARE(rig.target.seen.constLast().line.rawValue, QString::number(kLines - 1));
        for (int i = 0; i < kLines; ++i)
            QCOMPARE(rig.target.seen.at(i).line.rawValue, QString::number(i));
        QVERIFY(turnsSeen.atLine.constLast() > turnsSeen.atLine.constFirst());
        QTRY_VERIFY(rig.popups > popupsBefore);
        QVERIFY(rig.popups - popupsBefore <= 3);
        QCOMPARE(rig.controller.busMonitor().lines().constFirst(),
                 QStringLiteral("2|%1|%2").arg(100 + (kLines - 1) % 7).arg(kLines - 1));
    }

    // The popup waits for the end of the drain, unless it opens first: then it shows every value
    // taken so far, and the drain's end has nothing left to rebuild.
    void popupOpeningDuringADrainShowsItsValues() {
        LinkTimings timings = fastTimings();
        timings.pollReadTimeoutMs = 1000; // the drain is still under way when the menu opens
        timings.pollIntervalMs = 60000;   // only the tick below reads
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        const int before = rig.popups;
        rig.peer.send(lines({"2|1|1.0", "2|2|0.0"}));
        rig.controller.Timer1Timer();
        QTRY_COMPARE(rig.target.count("2", "0.0", false), 1);
        QCOMPARE(rig.popups, before);
        rig.controller.setMenuOpen(true);
        QCOMPARE(rig.popups, before + 1);
        rig.controller.setMenuOpen(false);
        QTRY_VERIFY(rig.controller.lastLine().isEmpty()); // the drain ended
        QCOMPARE(rig.popups, before + 1);
    }

    // Lone NULs carry nothing: with more waiting behind them they end no drain, so the value after
    // them comes with the same tick.
    void emptyLinesDoNotHoldBackAValue_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ten lone NULs") << QByteArray(10, '\0') + lines({"2|4|1.0"});
        QTest::newRow("between values") << lines({"2|5|0.0"}) + QByteArray(3, '\0') + lines({"2|4|1.0"});
    }
    void emptyLinesDoNotHoldBackAValue() {
        QFETCH(QByteArray, bytes);
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = 60000; // only the tick below reads
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.peer.send(bytes);
        // Every line has arrived (a queued line counts its bytes and 32 for its bookkeeping).
        const qsizetype nuls = bytes.count('\0');
        QTRY_COMPARE(rig.controller.link().queuedBytes(), bytes.size() - nuls + 32 * nuls);
        rig.controller.Timer1Timer();
        QTRY_COMPARE(rig.target.count("4", "1.0", false), 1);
        QCOMPARE(rig.busLines().constFirst(), QStringLiteral("2|4|1.0"));
        QVERIFY(!rig.busLines().contains(QString()));
        QVERIFY(rig.controller.link().isConnected());
    }

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

    // --- menu clicks and the console --------------------------------------------------------

    void commandChannelAwaitsTheReply() {
        PeerRig rig;
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        // The reply comes after several polling ticks; it still goes to the caller.
        rig.peer.answer = [&](const QByteArray &line) {
            QTimer::singleShot(350, &rig.peer, [&rig, line] { rig.peer.send("2" + line.mid(1) + ".0" + '\0'); });
            return QByteArray();
        };
        CommandChannel &channel = rig.controller;
        QVERIFY(channel.sendLine(QStringLiteral("1|768|1")));
        std::optional<std::optional<QString>> reply;
        channel.awaitLine(1000, [&](const std::optional<QString> &line, const QString &) { reply = line; });
        QVERIFY(!reply.has_value()); // never inside the call
        QTRY_VERIFY(reply.has_value());
        QCOMPARE(*reply, QStringLiteral("2|768|1.0"));
        QVERIFY(rig.target.seen.isEmpty());
        QVERIFY(rig.busLines().isEmpty());
        QCOMPARE(rig.peer.lines().constLast(), QByteArray("1|768|1"));
        channel.addToBusMonitor("2|768|1.0");
        channel.dispatchLine("2|768|1.0", false);
        QCOMPARE(rig.target.count("768", "1.0", false), 1);
        QCOMPARE(rig.controller.busMonitor().getlv("768"), QStringLiteral("1,0"));

        // No answer: the empty text after the time-out.
        rig.peer.answer = nullptr;
        reply.reset();
        QVERIFY(channel.sendLine(QStringLiteral("1|768|0")));
        channel.awaitLine(200, [&](const std::optional<QString> &line, const QString &) { reply = line; });
        QTRY_VERIFY(reply.has_value());
        QCOMPARE(*reply, QString(""));
    }

    void commandChannelWithLinkDown() {
        Rig rig;
        CommandChannel &channel = rig.controller;
        QVERIFY(!channel.sendLine(QStringLiteral("1|768|1")));
        std::optional<QString> error;
        bool answered = false;
        channel.awaitLine(1000, [&](const std::optional<QString> &line, const QString &text) {
            answered = !line.has_value();
            error = text;
        });
        QTRY_VERIFY(answered);
        QVERIFY(!error->isEmpty());
    }

    // --- against the Orvanel simulator ------------------------------------------------------

    void simulatorStartupAndPolling() {
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = 1000;
        Rig rig(timings);
        rig.usePort(ovsim.gatewayPort());
        rig.view.key = ovsim.key();
        bool done = false, connected = false;
        rig.controller.startupConnect({}, [&](bool ok) {
            done = true;
            connected = ok;
        });
        QTRY_VERIFY(done);
        QVERIFY(connected);
        for (const char *gan : {"1", "2", "768", "1025", "1280", "1536", "70001"})
            QVERIFY2(rig.controller.busMonitor().getlv(gan).has_value(), gan);
        QVERIFY(std::all_of(rig.target.seen.cbegin(), rig.target.seen.cend(),
                            [](const RecordingTarget::Seen &s) { return s.initial; }));
        rig.controller.startPolling();
        QVERIFY(ovsim.setValue("1536", "1"));
        QTRY_COMPARE(rig.target.count("1536", "1.0", false), 1);

        // A menu click: the simulator reports the new value back to us.
        CommandChannel &channel = rig.controller;
        QVERIFY(channel.sendLine("1|768|55"));
        std::optional<QString> reply;
        channel.awaitLine(1000, [&](const std::optional<QString> &line, const QString &) { reply = line; });
        QTRY_VERIFY(reply.has_value());
        QVERIFY2(reply->startsWith("2|768|55"), qPrintable(*reply));
    }

    void simulatorRefusesWrongKey() {
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        Rig rig;
        rig.usePort(ovsim.gatewayPort());
        rig.view.key = ovsim.key() + "-falsch";
        bool done = false;
        rig.controller.startupConnect({}, [&](bool) { done = true; });
        QTRY_VERIFY(done);
        QCOMPARE(rig.errors(), QStringList{kStartupError});
        QVERIFY(rig.busLines().isEmpty());
        QVERIFY(rig.target.seen.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"

// The connection itself: the socket's status texts and failures, the start-up connection, the
// connect button, the watchdog, closing and resuming, and the link against the simulator.
#include "AnsiText.h"
#include "LinkRig.h"
#include "OvsimProcess.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

class TestLinkConnect : public QObject {
    Q_OBJECT

private slots:
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
        QCOMPARE(rig.busLines().contains(LinkTexts::kLineBreaksBlanked), noted);
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
        timings.pollIntervalMs = 500; // the queued lines belong to the start-up drain alone
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

    // --- against the Orvanel simulator ------------------------------------------------------

    void simulatorStartupAndPolling() {
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = 500;
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

QTEST_GUILESS_MAIN(TestLinkConnect)
#include "tst_linkconnect.moc"

// The read phases: how each drain ends, which lines it takes and with which flag, polling
// under a modal box or an open menu, bursts, and a command's awaited reply.
#include "LinkRig.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>

class TestLinkDrains : public QObject {
    Q_OBJECT

private slots:
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

    // Each line begins a new read with the whole time-out: lines that come closer together than
    // the time-out keep one drain reading, however long they go on; it ends one time-out after the
    // last of them.
    void drainReadsOnWhileLinesComeWithinItsTimeout() {
        LinkTimings timings = fastTimings();
        timings.pollReadTimeoutMs = 600;
        timings.pollIntervalMs = 60000;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        QVERIFY(connectByButton(rig));
        rig.controller.Timer1Timer();
        constexpr int kLines = 6;
        int sent = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, this, [&] {
            rig.peer.send(QStringLiteral("2|5|%1").arg(++sent).toLatin1() + '\0');
            if (sent == kLines)
                stream.stop();
        });
        stream.start(250);
        QTRY_VERIFY_WITH_TIMEOUT(rig.target.count("5", QString::number(kLines), false) == 1, 5000);
        for (int i = 1; i <= kLines; ++i)
            QCOMPARE(rig.target.count("5", QString::number(i), false), 1);
        QCOMPARE(rig.controller.lastLine(), QStringLiteral("2|5|%1").arg(kLines));
        QTRY_VERIFY(rig.controller.lastLine().isEmpty());
    }

    // A server that never stops sending: the first polling tick takes over the start-up drain and
    // reads on without `initial`; the start-up still ends while the server is sending, and the
    // poll goes on taking the lines.
    void pollingTakesOverAnEndlessStartupDrain() {
        LinkTimings timings = fastTimings();
        timings.pollIntervalMs = 150;
        timings.connectDrainLimitMs = 750;
        PeerRig rig(timings);
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

    // A line every 60 ms for ever: no connection drain ever sees its 200 ms of silence, yet each
    // ends after its time limit and polling takes the lines from then on. The program's own
    // intervals, time-outs and limit, each a fifth as long: their proportions are the program's.
    void endlessServerEndsTheConnectionDrains_data() {
        QTest::addColumn<QString>("use");
        QTest::newRow("start-up") << "start-up";
        QTest::newRow("connect button") << "connect button";
    }
    void endlessServerEndsTheConnectionDrains() {
        QFETCH(QString, use);
        LinkTimings timings;
        for (int *ms : {&timings.pollIntervalMs, &timings.watchdogIntervalMs, &timings.connectReadTimeoutMs,
                        &timings.pollReadTimeoutMs, &timings.connectDrainLimitMs})
            *ms /= 5;
        timings.resumeCheckIntervalMs = 0;
        PeerRig rig(timings);
        QVERIFY(rig.listen());
        int sent = 0;
        QTimer stream;
        connect(&stream, &QTimer::timeout, this,
                [&] { rig.peer.send(QStringLiteral("2|3|%1").arg(++sent).toLatin1() + '\0'); });
        connect(&rig.peer, &TestPeer::keyReceived, &stream, [&] { stream.start(60); });
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
        timings.pollReadTimeoutMs = 500; // a poll that is still waiting when the menu opens
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
        timings.pollReadTimeoutMs = 500; // the drain is still under way when the menu opens
        timings.pollIntervalMs = 60000;  // only the tick below reads
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
};

QTEST_GUILESS_MAIN(TestLinkDrains)
#include "tst_linkdrains.moc"

// Values from the bus into the menu (binding, notifications, messages under way) and what a click sends.
#include "CanberraEventSounds.h"
#include "Captions.h"
#include "FakeLinkView.h"
#include "FakePlatform.h"
#include "IniFile.h"
#include "LinkController.h"
#include "MenuCommand.h"
#include "MenuExecution.h"
#include "MenuFakes.h"
#include "MenuFile.h"
#include "MenuTestData.h"
#include "MenuTreeModel.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "SoundPicker.h"
#include "StateIcon.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMutex>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <climits>
#include <numeric>

class TestMenuDispatch : public QObject {
    Q_OBJECT

private slots:
    // ---- binding and dispatch ----

    void bindingIsByGanOnly() {
        DispatchFixture f;
        f.menu.append(command(u"Fünf"_qs, u"Ein"_qs, u"5"_qs, u"0,0"_qs, 10));
        MenuCommand dimmer = command(u"Dimmer"_qs, u"Frei"_qs, u"768"_qs, u"40,0"_qs, 12);
        dimmer.wert = u"5"_qs;
        f.menu.append(dimmer);
        f.menu.append(command(u"Ohne GAN"_qs, u"Ein"_qs, QString(), u"0,0"_qs, 0));
        f.menu.append(MenuCommand::separator());

        f.target.onValue(decoded(u"5"_qs, u"1.0"_qs), true);
        QCOMPARE(f.menu.at(0).lv, u"1,0"_qs);
        QCOMPARE(f.menu.at(0).stateIcon, 10);
        QCOMPARE(f.menu.at(1).lv, u"40,0"_qs); // a Wert of 5 binds nothing

        f.target.onValue(decoded(QString(), u"5"_qs), false); // the line "2||5"
        QCOMPARE(f.menu.at(2).lv, u"0,0"_qs);
        QCOMPARE(f.menu.at(3).lv, u"0,0"_qs);
        QVERIFY(f.log.isEmpty());

        f.target.onValue(decoded(u"76"_qs, QString()), false); // the line "2|768": nothing bound to 76
        QCOMPARE(f.menu.at(1).lv, u"40,0"_qs);
    }

    void notifications_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("flags"); // Balloon, Msg, Sound
        QTest::addColumn<bool>("balloonsEnabled");
        QTest::addColumn<bool>("initial");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("rawValue");
        QTest::addColumn<QStringList>("events");
        const QStringList allOn{u"True"_qs, u"True"_qs, u"True"_qs};
        const QString open = u"Fenster auf"_qs;
        const QStringList all{u"hint:"_qs + open, u"balloon:Orvanel:|"_qs + open + u"|2000"_qs,
                              u"info:Wichtige Meldung vom Orvanel:\r\r"_qs + open, u"sound:window-attention"_qs};
        QTest::newRow("all three, in order")
            << u"Fenster $1"_qs << allOn << true << false << u"0,0"_qs << u"1.0"_qs << all;
        QTest::newRow("unchanged value") << u"Fenster $1"_qs << allOn << true << false << u"1,0"_qs << u"1.0"_qs
                                         << QStringList{};
        QTest::newRow("initial line") << u"Fenster $1"_qs << allOn << true << true << u"0,0"_qs << u"1.0"_qs
                                      << QStringList{};
        QTest::newRow("balloons switched off")
            << u"Fenster $1"_qs << allOn << false << false << u"0,0"_qs << u"1.0"_qs << all.mid(2);
        QTest::newRow("exact text comparison")
            << u"Fenster $1"_qs << allOn << true << false << u"1"_qs << u"1.0"_qs << all;
        QTest::newRow("only balloon") << u"Fenster $1"_qs << QStringList{u"True"_qs, u"False"_qs, u"False"_qs} << true
                                      << false << u"0,0"_qs << u"1.0"_qs << all.mid(0, 2);
        QTest::newRow("only True counts") << u"Fenster $1"_qs << QStringList{u"true"_qs, u"-1"_qs, u"TRUE"_qs} << true
                                          << false << u"0,0"_qs << u"1.0"_qs << QStringList{};
        QTest::newRow("message without wildcard")
            << u"Temperatur"_qs << QStringList{u"False"_qs, u"True"_qs, u"False"_qs} << true << false << u"21,0"_qs
            << u"21.5"_qs << QStringList{u"info:Wichtige Meldung vom Orvanel:\r\rTemperatur 21,5"_qs};
        QTest::newRow("announces the new value")
            << u"Wert $"_qs << QStringList{u"True"_qs, u"False"_qs, u"False"_qs} << true << false << u"5"_qs << u"7"_qs
            << QStringList{u"hint:Wert 7"_qs, u"balloon:Orvanel:|Wert 7|2000"_qs};
    }
    void notifications() {
        QFETCH(QString, text);
        QFETCH(QStringList, flags);
        QFETCH(bool, balloonsEnabled);
        QFETCH(bool, initial);
        QFETCH(QString, before);
        QFETCH(QString, rawValue);
        QFETCH(QStringList, events);
        DispatchFixture f;
        f.balloonsEnabled = balloonsEnabled;
        MenuCommand entry = command(text, u"Um"_qs, u"1025"_qs, before, 6);
        entry.balloon = flags.at(0);
        entry.msg = flags.at(1);
        entry.sound = flags.at(2);
        entry.soundname = u"window-attention"_qs;
        f.menu.append(command(u"Andere"_qs, u"Ein"_qs, u"1024"_qs, u"0,0"_qs));
        f.menu.append(entry);

        const DecodedLine line = decoded(u"1025"_qs, rawValue);
        f.target.onValue(line, initial);
        QCOMPARE(f.log, events);
        QCOMPARE(f.menu.at(1).lv, line.displayValue);
        QCOMPARE(f.menu.at(0).lv, u"0,0"_qs);
        if (!events.isEmpty() && events.first().startsWith(u"hint:"_qs))
            QCOMPARE(f.tray.hint(), events.first().mid(5));
    }

    void dispatchServesEveryBoundEntryInOrder() {
        DispatchFixture f;
        MenuCommand light = command(u"Licht $3"_qs, u"Ein"_qs, u"768"_qs, u"0,0"_qs, 10);
        light.stateIcon = 11;
        light.balloon = u"True"_qs;
        MenuCommand dimmer = command(u"Dimmer $4 %"_qs, u"Frei"_qs, u"768"_qs, u"0,0"_qs, 12);
        dimmer.msg = u"True"_qs;
        f.menu.append(light);
        f.menu.append(command(u"Anderes"_qs, u"Ein"_qs, u"769"_qs, u"0,0"_qs, 10));
        f.menu.append(dimmer);

        f.target.onValue(decoded(u"768"_qs, u"55.5"_qs), false);
        QCOMPARE(f.log, (QStringList{u"hint:Licht 55,5"_qs, u"balloon:Orvanel:|Licht 55,5|2000"_qs,
                                     u"info:Wichtige Meldung vom Orvanel:\r\rDimmer 55 %"_qs}));
        QCOMPARE(f.menu.at(0).lv, u"55,5"_qs);
        QCOMPARE(f.menu.at(0).stateIcon, 11);
        QCOMPARE(f.menu.at(2).lv, u"55,5"_qs);
        QCOMPARE(f.menu.at(2).stateIcon, 14);
        QCOMPARE(f.menu.at(1).lv, u"0,0"_qs);

        // The same value again: no notification, but the state rule applies anew.
        f.log.clear();
        f.menu[2].stateIcon = 3;
        f.target.onValue(decoded(u"768"_qs, u"55.5"_qs), false);
        QVERIFY(f.log.isEmpty());
        QCOMPARE(f.menu.at(2).stateIcon, 14);

        // Initial lines store the value and set the icon without a word.
        f.target.onValue(decoded(u"768"_qs, u"1.0"_qs), true);
        QVERIFY(f.log.isEmpty());
        QCOMPARE(f.menu.at(0).stateIcon, 10);
        QCOMPARE(f.menu.at(2).stateIcon, 13);
    }

    // While an important message is on screen, further lines are dispatched; a newer value of the
    // same number must not be overwritten by the older one when the box closes.
    void newerValueDuringMessageWins() {
        DispatchFixture f;
        MenuCommand window = command(u"Fenster $1"_qs, u"Um"_qs, u"1025"_qs, u"0,0"_qs, 6);
        window.msg = u"True"_qs;
        window.sound = u"True"_qs;
        window.soundname = u"bell"_qs;
        f.menu.append(window);
        f.menu.append(window);
        bool nested = false;
        f.dialogs.whileInformationOpen = [&] {
            if (!std::exchange(nested, true))
                f.target.onValue(decoded(u"1025"_qs, u"0.0"_qs), false);
        };
        f.target.onValue(decoded(u"1025"_qs, u"1.0"_qs), false);
        QCOMPARE(f.log, (QStringList{u"info:Wichtige Meldung vom Orvanel:\r\rFenster auf"_qs, u"sound:bell"_qs}));
        QCOMPARE(f.menu.at(0).lv, u"0,0"_qs);
        QCOMPARE(f.menu.at(0).stateIcon, 7);
        QCOMPARE(f.menu.at(1).lv, u"0,0"_qs);

        // Once the boxes are closed, the next line is handled normally again.
        f.log.clear();
        f.target.onValue(decoded(u"1025"_qs, u"1.0"_qs), false);
        QCOMPARE(f.log.size(), 4);
        QCOMPARE(f.menu.at(1).lv, u"1,0"_qs);
    }

    // "Neu laden" while the box is open: what the menu holds now decides, not what it held.
    void menuReloadedDuringMessage_data() {
        QTest::addColumn<QString>("otherGan");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("values"); // LV of every entry afterwards
        const QString message = u"info:Wichtige Meldung vom Orvanel:\r\rFenster auf"_qs;
        QTest::newRow("emptied") << QString() << QStringList{message} << QStringList{};
        QTest::newRow("another number at the same place")
            << u"99"_qs << QStringList{message} << QStringList{u"0,0"_qs, u"0,0"_qs};
        // Entries bound to the number when the box closes carry on: the one now in the place of the
        // box's entry plays its own sound and takes the value, the next one announces in full.
        QTest::newRow("the same number at the same place")
            << u"1025"_qs
            << QStringList{message, u"sound:other"_qs, u"info:Wichtige Meldung vom Orvanel:\r\rAnderes 1,0"_qs,
                           u"sound:other"_qs}
            << QStringList{u"1,0"_qs, u"1,0"_qs};
    }
    void menuReloadedDuringMessage() {
        QFETCH(QString, otherGan);
        QFETCH(QStringList, events);
        QFETCH(QStringList, values);
        DispatchFixture f;
        MenuCommand window = command(u"Fenster $1"_qs, u"Um"_qs, u"1025"_qs, u"0,0"_qs, 6);
        window.msg = u"True"_qs;
        window.sound = u"True"_qs;
        window.soundname = u"window"_qs;
        f.menu.append(window);
        f.menu.append(window);
        MenuList reloaded;
        if (!otherGan.isEmpty()) {
            MenuCommand other = command(u"Anderes"_qs, u"Ein"_qs, otherGan, u"0,0"_qs, 0);
            other.msg = u"True"_qs;
            other.sound = u"True"_qs;
            other.soundname = u"other"_qs;
            reloaded.append(other);
            reloaded.append(other);
        }
        bool once = false;
        f.dialogs.whileInformationOpen = [&] {
            if (!std::exchange(once, true))
                f.menu = reloaded;
        };
        f.target.onValue(decoded(u"1025"_qs, u"1.0"_qs), false);
        QCOMPARE(f.log, events);
        QStringList lvs;
        for (const MenuCommand &c : std::as_const(f.menu))
            lvs << c.lv;
        QCOMPARE(lvs, values);
    }

    // ---- execution of a click ----

    void commandValues_data() {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<QString>("lv");
        QTest::addColumn<QString>("wert");
        QTest::addColumn<bool>("sends");
        QTest::addColumn<QString>("value");
        QTest::newRow("Ein") << u"Ein"_qs << u"1,0"_qs << u"9"_qs << true << u"1"_qs;
        QTest::newRow("Aus") << u"Aus"_qs << u"0,0"_qs << QString() << true << u"0"_qs;
        QTest::newRow("Um from 0,0") << u"Um"_qs << u"0,0"_qs << QString() << true << u"1"_qs;
        QTest::newRow("Um from 1,0") << u"Um"_qs << u"1,0"_qs << QString() << true << u"0"_qs;
        QTest::newRow("Um from 0") << u"Um"_qs << u"0"_qs << QString() << true << u"0"_qs;
        QTest::newRow("Um from nothing") << u"Um"_qs << QString() << QString() << true << u"0"_qs;
        QTest::newRow("Frei sends Wert") << u"Frei"_qs << u"40,0"_qs << u"55"_qs << true << u"55"_qs;
        QTest::newRow("Frei as typed") << u"Frei"_qs << QString() << u"2.5"_qs << true << u"2.5"_qs;
        QTest::newRow("Frei empty") << u"Frei"_qs << QString() << QString() << true << QString();
        QTest::newRow("lesen") << u"lesen"_qs << u"21,5"_qs << QString() << false << QString();
        QTest::newRow("Keine") << u"Keine"_qs << u"0,0"_qs << QString() << false << QString();
        QTest::newRow("missing action") << u"-"_qs << QString() << QString() << false << QString();
        QTest::newRow("case matters") << u"ein"_qs << QString() << QString() << false << QString();
    }
    void commandValues() {
        QFETCH(QString, aktion);
        QFETCH(QString, lv);
        QFETCH(QString, wert);
        QFETCH(bool, sends);
        QFETCH(QString, value);
        MenuCommand entry = command(u"x"_qs, aktion, u"768"_qs, lv);
        entry.wert = wert;
        const auto chosen = commandValue(entry);
        QCOMPARE(chosen.has_value(), sends);
        if (sends)
            QCOMPARE(*chosen, value);
    }

    void click_data() {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<QString>("gan");
        QTest::addColumn<bool>("sendSucceeds");
        QTest::addColumn<int>("reply"); // 0 a line, 1 time-out, 2 link down
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("busMonitor"); // newest first
        QTest::addColumn<QStringList>("dispatched");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("answer") << u"Ein"_qs << u"768"_qs << true << 0 << QStringList{u"1|768|1"_qs}
                                << QStringList{u"2|768|1.0"_qs, u"-> 1|768|1"_qs} << QStringList{u"2|768|1.0"_qs}
                                << QStringList{};
        QTest::newRow("time-out") << u"Aus"_qs << u"768"_qs << true << 1 << QStringList{u"1|768|0"_qs}
                                  << QStringList{QString(), u"-> 1|768|0"_qs} << QStringList{QString()}
                                  << QStringList{};
        QTest::newRow("link down") << u"Ein"_qs << u"768"_qs << false << 2 << QStringList{u"1|768|1"_qs}
                                   << QStringList{u"OV Nicht gefunden"_qs, u"-> 1|768|1"_qs} << QStringList{}
                                   << QStringList{u"Verbindung getrennt"_qs};
        QTest::newRow("failed write, answer all the same")
            << u"Ein"_qs << u"768"_qs << false << 0 << QStringList{u"1|768|1"_qs}
            << QStringList{u"2|768|1.0"_qs, u"OV Nicht gefunden"_qs, u"-> 1|768|1"_qs} << QStringList{u"2|768|1.0"_qs}
            << QStringList{};
        QTest::newRow("empty GAN") << u"Ein"_qs << QString() << true << 1 << QStringList{u"1||1"_qs}
                                   << QStringList{QString(), u"-> 1||1"_qs} << QStringList{QString()} << QStringList{};
        QTest::newRow("lesen sends nothing") << u"lesen"_qs << u"1280"_qs << true << -1 << QStringList{}
                                             << QStringList{} << QStringList{} << QStringList{};
    }
    void click() {
        QFETCH(QString, aktion);
        QFETCH(QString, gan);
        QFETCH(bool, sendSucceeds);
        QFETCH(int, reply);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, busMonitor);
        QFETCH(QStringList, dispatched);
        QFETCH(QStringList, errors);
        FakeDialogs dialogs;
        ScriptedChannel channel;
        channel.sendSucceeds = sendSucceeds;
        MenuList menu;
        menu.append(command(u"Erster"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        menu.append(command(u"Zweiter"_qs, aktion, gan, u"0,0"_qs));
        MenuExecution execution(menu, channel, dialogs);

        execution.OnMenuItemclick(11);
        QCOMPARE(channel.sent, sent);
        QCOMPARE(bool(channel.pending), reply >= 0);
        if (reply >= 0)
            QCOMPARE(channel.awaitedTimeoutMs, 1000);
        QVERIFY(channel.dispatched.isEmpty()); // nothing happens before the reply
        if (reply == 0)
            channel.reply(u"2|768|1.0"_qs);
        else if (reply == 1)
            channel.reply(QString());
        else if (reply == 2)
            channel.reply(std::nullopt, u"Verbindung getrennt"_qs);
        QCOMPARE(channel.busMonitor, busMonitor);
        QCOMPARE(channel.dispatched, dispatched);
        QCOMPARE(dialogs.texts(FakeDialogs::Kind::Error), errors);
        QCOMPARE(dialogs.boxes.size(), errors.size());
        QCOMPARE(menu.at(1).lv, u"0,0"_qs); // only the dispatched reply changes values
    }

    void clickOnNoEntry() {
        FakeDialogs dialogs;
        ScriptedChannel channel;
        MenuList menu;
        menu.append(command(u"Erster"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        MenuExecution execution(menu, channel, dialogs);
        for (qsizetype flat : {qsizetype(5), qsizetype(11), qsizetype(-1)})
            execution.OnMenuItemclick(flat);
        QVERIFY(channel.sent.isEmpty());
        QVERIFY(channel.busMonitor.isEmpty());

        // A reply that comes after the handler is gone is dropped quietly.
        auto gone = std::make_unique<MenuExecution>(menu, channel, dialogs);
        gone->OnMenuItemclick(0);
        gone.reset();
        channel.reply(std::nullopt, u"weg"_qs);
        QVERIFY(dialogs.boxes.isEmpty());
    }

    // A click with the link down, through the program's own link: both lines on the bus monitor,
    // one error box, and the next click goes the same way (nothing is left waiting).
    void clickWithLinkDown() {
        FakeDialogs dialogs;
        FakeTrayIcon tray;
        FakeLinkView view; // never connected
        LinkController link(view, tray, dialogs);
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"768"_qs, u"0,0"_qs));
        struct Seen : ValueTarget {
            int count = 0;
            void onValue(const DecodedLine &, bool) override { ++count; }
        } dispatched;
        link.dispatch().addTarget(&dispatched);
        MenuExecution execution(menu, link, dialogs);

        const QStringList lines{u"OV Nicht gefunden"_qs, u"-> 1|768|1"_qs};
        execution.OnMenuItemclick(0);
        QCOMPARE(link.busMonitor().lines(), lines);
        QTRY_COMPARE(dialogs.boxes.size(), 1);
        QCOMPARE(dialogs.boxes.at(0).kind, FakeDialogs::Kind::Error);
        QVERIFY(!dialogs.boxes.at(0).text.isEmpty());

        execution.OnMenuItemclick(0);
        QTRY_COMPARE(dialogs.boxes.size(), 2);
        QCOMPARE(link.busMonitor().lines(), lines + lines);
        QCOMPARE(dispatched.count, 0);
        QCOMPARE(menu.at(0).lv, u"0,0"_qs);
    }
};

QTEST_MAIN(TestMenuDispatch)
#include "tst_menudispatch.moc"

// The tray icon follows a tray that comes or goes while the program runs, told by the desktop
// rather than found by asking again and again. Here the StatusNotifier side on a private session
// bus; whether there is a tray is scripted.
#include "PrivateSessionBus.h"
#include "SystemTrayIcon.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

class TestTrayIcon : public QObject {
    Q_OBJECT
private slots:
    void followsTheStatusNotifierWatcher_data() {
        QTest::addColumn<bool>("hostSignals");
        QTest::newRow("the watcher comes and goes") << false;
        QTest::newRow("a host registers with the watcher and leaves") << true;
    }
    void followsTheStatusNotifierWatcher() {
        QFETCH(bool, hostSignals);
        PrivateSessionBus bus;
        QVERIFY2(bus.start(), "dbus-daemon did not start");
        QDBusConnection panel = bus.connect(u"panel"_qs);
        bool trayThere = false;
        int asked = 0;
        SystemTrayIcon tray(nullptr, bus.connect(u"program"_qs), [&] {
            ++asked;
            return trayThere;
        });
        QSignalSpy changed(&tray, &TrayIcon::availabilityChanged);
        const auto hostSignal = [&panel](const QString &name) {
            return panel.send(
                QDBusMessage::createSignal(u"/StatusNotifierWatcher"_qs, u"org.kde.StatusNotifierWatcher"_qs, name));
        };
        QVERIFY(panel.registerService(TrayHostWatch::kWatcherService));
        if (hostSignals) {
            // The watcher alone is no tray yet; its host makes one.
            QTRY_VERIFY(asked >= 2);
            QCOMPARE(changed.size(), 0);
            trayThere = true;
            QVERIFY(hostSignal(u"StatusNotifierHostRegistered"_qs));
        } else {
            trayThere = true;
        }
        QTRY_COMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), true);
        QVERIFY(tray.isAvailable());

        trayThere = false;
        if (hostSignals)
            QVERIFY(hostSignal(u"StatusNotifierHostUnregistered"_qs));
        else
            QVERIFY(panel.unregisterService(TrayHostWatch::kWatcherService));
        QTRY_COMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(0).toBool(), false);
    }
};

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"

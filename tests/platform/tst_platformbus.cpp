// The platform services that talk over the session bus: notifications for balloons without a tray,
// one program per session, and the screen saver, each against a private bus.
#include "DBusSingleInstance.h"
#include "DesktopNotifications.h"
#include "DesktopScreenSaver.h"
#include "FakeNotificationService.h"
#include "FakePlatform.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "PrivateSessionBus.h"
#include "SystemTrayIcon.h"
#include "ValueDispatch.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QThread>
#include <QtTest>
#include <atomic>

namespace {
// Another start of the program as the bus sees it: it owns the session's name and takes Show()
// calls on a thread of its own (the claim under test blocks the test's thread while it waits).
class RunningProgram : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "de.quendra.Quendra")
public:
    enum class Kind { Answers, Hangs, NoObject };

    RunningProgram(QDBusConnection bus, Kind kind) : m_bus(std::move(bus)), m_kind(kind) {
        moveToThread(&m_thread);
        m_thread.start();
    }
    ~RunningProgram() override {
        m_thread.quit();
        m_thread.wait();
    }
    bool takeTheName() {
        return (m_kind == Kind::NoObject ||
                m_bus.registerObject(DBusSingleInstance::kPath, this, QDBusConnection::ExportScriptableSlots)) &&
               m_bus.registerService(DBusSingleInstance::kService);
    }
    QString uniqueName() const { return m_bus.baseService(); }

    std::atomic<int> shows = 0;

public slots:
    Q_SCRIPTABLE void Show(const QDBusMessage &message) {
        ++shows;
        // A hung program never gets round to answering.
        if (m_kind == Kind::Hangs)
            message.setDelayedReply(true);
    }

private:
    QDBusConnection m_bus;
    Kind m_kind;
    QThread m_thread;
};
} // namespace

namespace {
// The desktop's screen-saver service as a test plays it, on a private bus: records each call.
class FakeScreenSaverService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    explicit FakeScreenSaverService(QDBusConnection bus) : m_bus(std::move(bus)) {}
    ~FakeScreenSaverService() override { m_bus.unregisterService(DesktopScreenSaver::kService); }

    bool registerOnBus() {
        return m_bus.registerObject(DesktopScreenSaver::kPath, this, QDBusConnection::ExportScriptableSlots) &&
               m_bus.registerService(DesktopScreenSaver::kService);
    }

    QStringList calls;

public slots:
    Q_SCRIPTABLE bool SetActive(bool active) {
        calls.append(active ? u"SetActive true"_qs : u"SetActive false"_qs);
        return true;
    }
    Q_SCRIPTABLE void SimulateUserActivity() { calls.append(u"SimulateUserActivity"_qs); }

private:
    QDBusConnection m_bus;
};

// A stand-in for `xdg-screensaver`: a script that adds a line with its arguments to a file each
// time it is started.
class FakeScreenSaverHelper {
public:
    FakeScreenSaverHelper() {
        QFile script(program());
        if (script.open(QIODevice::WriteOnly))
            script.write("#!/bin/sh\necho \"$*\" >> \"" + QFile::encodeName(m_dir.filePath(u"starts"_qs)) + "\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString program() const { return m_dir.filePath(u"xdg-screensaver"_qs); }
    // The arguments of every start so far.
    QStringList starts() const {
        QFile log(m_dir.filePath(u"starts"_qs));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
};

// A busy object: 300 values in a row, alternating, the last one asking for `last`.
void sendWishes(DesktopScreenSaver &saver, bool lastActivates) {
    for (int i = 0; i < 300; ++i) {
        if ((i % 2 == 1) == lastActivates)
            saver.activate();
        else
            saver.deactivate();
    }
}
} // namespace

class TestPlatformBus : public QObject {
    Q_OBJECT

private slots:
    void balloonWithoutTrayGoesToNotificationService_data();
    void balloonWithoutTrayGoesToNotificationService();
    void aNotificationReplacesTheLastOne();
    void noBusNoNotification();
    void aClickOnOurNotificationOpensTheWindow_data();
    void aClickOnOurNotificationOpensTheWindow();
    void balloonsThatReachNobodyAreSaidOnce_data();
    void balloonsThatReachNobodyAreSaidOnce();
    void oneProgramPerSession_data();
    void oneProgramPerSession();
    void screenSaverWithoutServiceStartsFewHelpers_data();
    void screenSaverWithoutServiceStartsFewHelpers();
    void screenSaverServiceGetsTheNewestWish_data();
    void screenSaverServiceGetsTheNewestWish();
};

void TestPlatformBus::balloonWithoutTrayGoesToNotificationService_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("texts");
    QTest::addRow("wildcard") << u"Fenster $1"_qs << QStringList{u"1|5|1.0"_qs} << QStringList{u"Fenster auf"_qs};
    QTest::addRow("plain caption, two changes") << u"Temperatur"_qs << QStringList{u"1|5|21.5"_qs, u"1|5|22"_qs}
                                                << QStringList{u"Temperatur 21,5"_qs, u"Temperatur 22"_qs};
    QTest::addRow("the same value again announces nothing")
        << u"Fenster $1"_qs << QStringList{u"1|5|1.0"_qs, u"1|5|1.0"_qs} << QStringList{u"Fenster auf"_qs};
}

void TestPlatformBus::balloonWithoutTrayGoesToNotificationService() {
    QFETCH(QString, caption);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, texts);

    PrivateSessionBus bus;
    QVERIFY2(bus.start(), "dbus-daemon did not start");
    FakeNotificationService service(bus.connect(u"service"_qs));
    QVERIFY(service.registerOnBus());

    // Headless there is no tray, as on a desktop without one.
    SystemTrayIcon tray(nullptr, bus.connect(u"program"_qs));
    QVERIFY(!tray.isAvailable());

    MenuList menu;
    MenuCommand entry;
    entry.bezeichnung = caption;
    entry.gan = u"5"_qs;
    entry.lv = u"0,0"_qs;
    entry.balloon = u"True"_qs;
    menu.append(entry);
    WildcardTexts words;
    FakeDialogs dialogs;
    FakeEventSounds sounds;
    Notifications notifications(menu, words, tray, dialogs, sounds);
    MenuValueTarget target(menu, notifications, [] { return true; });
    ValueDispatch dispatch;
    dispatch.addTarget(&target);

    for (const QString &line : lines) {
        const qsizetype before = service.received.size();
        dispatch.update_lv_menu(line, false);
        // Each notification is answered before the next goes out, so it can replace the last.
        if (service.received.size() == before && before < texts.size())
            QTRY_COMPARE(service.received.size(), before + 1);
    }
    QCOMPARE(service.received.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const FakeNotificationService::Notification &n = service.received.at(i);
        QCOMPARE(n.title, u"Orvanel:"_qs);
        QCOMPARE(n.text, texts.at(i));
        QCOMPARE(n.timeoutMs, Notifications::kBalloonTimeoutMs);
        QCOMPARE(n.appName, u"Quendra"_qs);
        QVERIFY(n.hasImage);
    }
    // The tray's hint keeps the last balloon's text all the same.
    QCOMPARE(tray.hint(), texts.last());
}

void TestPlatformBus::aNotificationReplacesTheLastOne() {
    PrivateSessionBus bus;
    QVERIFY2(bus.start(), "dbus-daemon did not start");
    FakeNotificationService service(bus.connect(u"service"_qs));
    QVERIFY(service.registerOnBus());
    DesktopNotifications notifications(bus.connect(u"program"_qs));
    QSignalSpy shown(&notifications, &DesktopNotifications::shown);

    QVERIFY(notifications.notify(u"Orvanel:"_qs, u"eins"_qs, QIcon(), 2000));
    QVERIFY(shown.wait());
    QVERIFY(notifications.notify(u"Orvanel:"_qs, u"zwei"_qs, QIcon(), 2000));
    QVERIFY(shown.wait());
    QCOMPARE(service.received.size(), 2);
    QCOMPARE(service.received.at(0).replacesId, 0u);
    QCOMPARE(service.received.at(1).replacesId, shown.at(0).at(0).toUInt());
    QVERIFY(!service.received.at(0).hasImage);
}

void TestPlatformBus::noBusNoNotification() {
    // A desktop without a session bus: the tray's own balloon is the only way left.
    DesktopNotifications notifications(QDBusConnection::connectToBus(u"unix:path=/nonexistent"_qs, u"none"_qs));
    QVERIFY(!notifications.notify(u"Orvanel:"_qs, u"eins"_qs, QIcon(), 2000));
    QDBusConnection::disconnectFromBus(u"none"_qs);
}

void TestPlatformBus::aClickOnOurNotificationOpensTheWindow_data() {
    QTest::addColumn<bool>("ours");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a click on our notification") << true << u"default"_qs << true;
    QTest::newRow("another program's notification") << false << u"default"_qs << false;
    QTest::newRow("another action of ours") << true << u"dismiss"_qs << false;
}

void TestPlatformBus::aClickOnOurNotificationOpensTheWindow() {
    QFETCH(bool, ours);
    QFETCH(QString, action);
    QFETCH(bool, opens);
    PrivateSessionBus bus;
    QVERIFY2(bus.start(), "dbus-daemon did not start");
    FakeNotificationService service(bus.connect(u"service"_qs));
    QVERIFY(service.registerOnBus());
    SystemTrayIcon tray(nullptr, bus.connect(u"program"_qs));
    QSignalSpy clicked(&tray, &TrayIcon::balloonClicked);
    QSignalSpy reachable(&tray, &TrayIcon::balloonsAvailableChanged);

    tray.showBalloon(u"Orvanel:"_qs, u"Licht an"_qs, 2000);
    QTRY_COMPARE(service.received.size(), 1);
    // The desktop knows whose it is (name, icon, grouping) and what a click on it does.
    QCOMPARE(service.received.at(0).desktopEntry, u"de.quendra.Quendra"_qs);
    QVERIFY(service.received.at(0).actions.contains(u"default"_qs));
    QCOMPARE(service.received.at(0).actions.size() % 2, 0); // key and label in pairs

    // Ours is the number the service gave; an answer reaches the program before the click can.
    const uint ourId = 1;
    service.invokeAction(ours ? ourId : ourId + 100, action);
    // A last notification, clicked, tells when the first click has been handled.
    service.invokeAction(ourId, u"default"_qs);
    QTRY_VERIFY(!clicked.isEmpty());
    QTRY_COMPARE(clicked.size(), opens ? 2 : 1);
    QVERIFY(reachable.isEmpty()); // nothing to say: balloons work
}

void TestPlatformBus::balloonsThatReachNobodyAreSaidOnce_data() {
    QTest::addColumn<bool>("sessionBus");
    QTest::newRow("a session bus without a notification service") << true;
    QTest::newRow("no session bus at all") << false;
}

void TestPlatformBus::balloonsThatReachNobodyAreSaidOnce() {
    QFETCH(bool, sessionBus);
    PrivateSessionBus bus;
    QVERIFY2(bus.start(), "dbus-daemon did not start");
    const QString noBus = u"unix:path=/nonexistent"_qs;
    SystemTrayIcon tray(nullptr,
                        sessionBus ? bus.connect(u"program"_qs) : QDBusConnection::connectToBus(noBus, u"none"_qs));
    QVERIFY(!tray.isAvailable());
    QSignalSpy reachable(&tray, &TrayIcon::balloonsAvailableChanged);

    for (int i = 0; i < 3; ++i)
        tray.showBalloon(u"Orvanel:"_qs, u"Licht an"_qs, 2000);
    QTRY_VERIFY(!reachable.isEmpty());
    // The later failures are handled too (their answers arrive in order) and say nothing new.
    FakeNotificationService late(bus.connect(u"service"_qs));
    if (sessionBus) {
        QVERIFY(late.registerOnBus());
        tray.showBalloon(u"Orvanel:"_qs, u"Licht aus"_qs, 2000);
        QTRY_COMPARE(reachable.size(), 2);
        QCOMPARE(late.received.size(), 1);
    }
    QCOMPARE(reachable.at(0).at(0).toBool(), false);
    QVERIFY(!reachable.at(0).at(1).toString().isEmpty()); // the system's reason
    if (sessionBus)
        QCOMPARE(reachable.at(1).at(0).toBool(), true); // a service that appears later is used, and said
    else
        QCOMPARE(reachable.size(), 1);
    if (!sessionBus)
        QDBusConnection::disconnectFromBus(u"none"_qs);
}

void TestPlatformBus::oneProgramPerSession_data() {
    QTest::addColumn<int>("running"); // -1: no other program; else a RunningProgram::Kind
    QTest::addColumn<bool>("sessionBus");
    QTest::addColumn<int>("claim");
    QTest::newRow("the first start") << -1 << true << int(SingleInstance::Claim::First);
    QTest::newRow("a running program that answers")
        << int(RunningProgram::Kind::Answers) << true << int(SingleInstance::Claim::HandedOver);
    QTest::newRow("a running program that hangs")
        << int(RunningProgram::Kind::Hangs) << true << int(SingleInstance::Claim::NotAnswering);
    QTest::newRow("the name held by something that is not the program")
        << int(RunningProgram::Kind::NoObject) << true << int(SingleInstance::Claim::NotAnswering);
    QTest::newRow("no session bus") << -1 << false << int(SingleInstance::Claim::NoSession);
}

void TestPlatformBus::oneProgramPerSession() {
    QFETCH(int, running);
    QFETCH(bool, sessionBus);
    QFETCH(int, claim);
    PrivateSessionBus bus;
    QVERIFY2(bus.start(), "dbus-daemon did not start");
    std::unique_ptr<RunningProgram> other;
    if (running >= 0) {
        other = std::make_unique<RunningProgram>(bus.connect(u"other"_qs), RunningProgram::Kind(running));
        QVERIFY(other->takeTheName());
    }
    DBusSingleInstance instance(sessionBus ? bus.connect(u"program"_qs)
                                           : QDBusConnection::connectToBus(u"unix:path=/nonexistent"_qs, u"none"_qs),
                                300);
    QCOMPARE(int(instance.claim()), claim);
    QCOMPARE(instance.reason().isEmpty(),
             claim == int(SingleInstance::Claim::First) || claim == int(SingleInstance::Claim::HandedOver));

    QDBusConnection user = bus.connect(u"user"_qs);
    if (other) {
        // The running one keeps the session and was asked for its window.
        QCOMPARE(user.interface()->serviceOwner(DBusSingleInstance::kService).value(), other->uniqueName());
        QCOMPARE(other->shows.load(), running == int(RunningProgram::Kind::NoObject) ? 0 : 1);
    } else if (sessionBus) {
        // The session's program shows its window when the next start asks, and says whether it is shown.
        QSignalSpy asked(&instance, &SingleInstance::showRequested);
        bool shown = false;
        instance.setWindowShownQuery([&shown] { return shown; });
        user.asyncCall(QDBusMessage::createMethodCall(DBusSingleInstance::kService, DBusSingleInstance::kPath,
                                                      DBusSingleInstance::kInterface, u"Show"_qs));
        QVERIFY(asked.wait());
        shown = true;
        QDBusPendingCallWatcher property(
            user.asyncCall(QDBusMessage::createMethodCall(DBusSingleInstance::kService, DBusSingleInstance::kPath,
                                                          u"org.freedesktop.DBus.Properties"_qs, u"Get"_qs)
                           << DBusSingleInstance::kInterface << u"WindowShown"_qs));
        QSignalSpy answered(&property, &QDBusPendingCallWatcher::finished);
        QVERIFY(answered.wait());
        QCOMPARE(QDBusPendingReply<QDBusVariant>(property).value().variant().toBool(), true);
    } else {
        QDBusConnection::disconnectFromBus(u"none"_qs);
    }
}

// Without a screen-saver service every value would start `xdg-screensaver` from the window's
// thread. One helper runs at a time and only the newest wish waits behind it, so a burst of values
// starts one or two helpers, and the last one does what the last value asked.
void TestPlatformBus::screenSaverWithoutServiceStartsFewHelpers_data() {
    QTest::addColumn<bool>("sessionBus"); // a bus without the service; else no bus at all
    QTest::addColumn<bool>("lastActivates");
    QTest::addColumn<QString>("lastStart");
    QTest::newRow("bus without service, last starts") << true << true << u"activate"_qs;
    QTest::newRow("bus without service, last ends") << true << false << u"reset"_qs;
    QTest::newRow("no bus, last starts") << false << true << u"activate"_qs;
    QTest::newRow("no bus, last ends") << false << false << u"reset"_qs;
}

void TestPlatformBus::screenSaverWithoutServiceStartsFewHelpers() {
    QFETCH(bool, sessionBus);
    QFETCH(bool, lastActivates);
    QFETCH(QString, lastStart);

    PrivateSessionBus bus;
    QVERIFY2(bus.start(), "dbus-daemon did not start");
    const QDBusConnection connection = sessionBus
                                           ? bus.connect(u"program"_qs)
                                           : QDBusConnection::connectToBus(u"unix:path=/nonexistent"_qs, u"none"_qs);
    QCOMPARE(connection.isConnected(), sessionBus);
    FakeScreenSaverHelper helper;
    DesktopScreenSaver saver(connection, helper.program());

    sendWishes(saver, lastActivates);
    QTRY_VERIFY_WITH_TIMEOUT(saver.isIdle(), 10000);
    const QStringList starts = helper.starts();
    QVERIFY2(!starts.isEmpty() && starts.size() <= 2, qPrintable(starts.join(u", "_qs)));
    QCOMPARE(starts.last(), lastStart);
    if (!sessionBus)
        QDBusConnection::disconnectFromBus(u"none"_qs);
}

// With the service on the bus, a burst of values makes a few calls, one at a time, the last ones
// for the newest value, and starts no helper.
void TestPlatformBus::screenSaverServiceGetsTheNewestWish_data() {
    QTest::addColumn<bool>("lastActivates");
    QTest::addColumn<QStringList>("lastCalls");
    QTest::newRow("last starts") << true << QStringList{u"SetActive true"_qs};
    QTest::newRow("last ends") << false << QStringList{u"SetActive false"_qs, u"SimulateUserActivity"_qs};
}

void TestPlatformBus::screenSaverServiceGetsTheNewestWish() {
    QFETCH(bool, lastActivates);
    QFETCH(QStringList, lastCalls);

    PrivateSessionBus bus;
    QVERIFY2(bus.start(), "dbus-daemon did not start");
    FakeScreenSaverService service(bus.connect(u"service"_qs));
    QVERIFY(service.registerOnBus());
    FakeScreenSaverHelper helper;
    DesktopScreenSaver saver(bus.connect(u"program"_qs), helper.program());
    QSignalSpy idle(&saver, &DesktopScreenSaver::idle);

    sendWishes(saver, lastActivates);
    QVERIFY(idle.wait(10000));
    QVERIFY(saver.isIdle());
    QVERIFY2(service.calls.size() <= 4, qPrintable(service.calls.join(u", "_qs)));
    QCOMPARE(service.calls.mid(service.calls.size() - lastCalls.size()), lastCalls);
    QCOMPARE(helper.starts(), QStringList{});
}

QTEST_MAIN(TestPlatformBus)
#include "tst_platformbus.moc"

#include "ConfigHome.h"
#include "DBusSingleInstance.h"
#include "DesktopNotifications.h"
#include "FakeNotificationService.h"
#include "FakePlatform.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "PrivateSessionBus.h"
#include "SystemTrayIcon.h"
#include "ValueDispatch.h"
#include "XdgAutostart.h"

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

class TestPlatform : public QObject {
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
    void autostartRunsTheInstalledEntry_data();
    void autostartRunsTheInstalledEntry();
};

void TestPlatform::balloonWithoutTrayGoesToNotificationService_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("texts");
    QTest::addRow("wildcard") << u"Fenster $1"_qs << QStringList{u"1|5|1.0"_qs} << QStringList{u"Fenster auf"_qs};
    QTest::addRow("plain caption, two changes") << u"Temperatur"_qs << QStringList{u"1|5|21.5"_qs, u"1|5|22"_qs}
                                                << QStringList{u"Temperatur 21,5"_qs, u"Temperatur 22"_qs};
    QTest::addRow("the same value again announces nothing")
        << u"Fenster $1"_qs << QStringList{u"1|5|1.0"_qs, u"1|5|1.0"_qs} << QStringList{u"Fenster auf"_qs};
}

void TestPlatform::balloonWithoutTrayGoesToNotificationService() {
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

void TestPlatform::aNotificationReplacesTheLastOne() {
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

void TestPlatform::noBusNoNotification() {
    // A desktop without a session bus: the tray's own balloon is the only way left.
    DesktopNotifications notifications(QDBusConnection::connectToBus(u"unix:path=/nonexistent"_qs, u"none"_qs));
    QVERIFY(!notifications.notify(u"Orvanel:"_qs, u"eins"_qs, QIcon(), 2000));
    QDBusConnection::disconnectFromBus(u"none"_qs);
}

void TestPlatform::aClickOnOurNotificationOpensTheWindow_data() {
    QTest::addColumn<bool>("ours");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a click on our notification") << true << u"default"_qs << true;
    QTest::newRow("another program's notification") << false << u"default"_qs << false;
    QTest::newRow("another action of ours") << true << u"dismiss"_qs << false;
}

void TestPlatform::aClickOnOurNotificationOpensTheWindow() {
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

void TestPlatform::balloonsThatReachNobodyAreSaidOnce_data() {
    QTest::addColumn<bool>("sessionBus");
    QTest::newRow("a session bus without a notification service") << true;
    QTest::newRow("no session bus at all") << false;
}

void TestPlatform::balloonsThatReachNobodyAreSaidOnce() {
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

void TestPlatform::oneProgramPerSession_data() {
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

void TestPlatform::oneProgramPerSession() {
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

void TestPlatform::autostartRunsTheInstalledEntry_data() {
    QTest::addColumn<QByteArray>("installedEntry"); // null: the program is not installed
    QTest::addColumn<QString>("exec");              // empty: the program file's full path, quoted
    QTest::newRow("installed") << QByteArray("[Desktop Entry]\nType=Application\nName=Quendra\nExec=quendra\nIcon=q\n")
                               << u"quendra"_qs;
    QTest::newRow("blanks around the sign, other group first")
        << QByteArray("[Desktop Action neu]\nExec=other\n\n[Desktop Entry]\nName=Quendra\nExec = quendra --x \n")
        << u"quendra --x"_qs;
    QTest::newRow("not installed") << QByteArray() << QString();
    QTest::newRow("entry without Exec") << QByteArray("[Desktop Entry]\nName=Quendra\nTryExec=quendra\n") << QString();
    QTest::newRow("Exec only in another group")
        << QByteArray("[Desktop Entry]\nName=Quendra\n[Desktop Action neu]\nExec=quendra --neu\n") << QString();
    QTest::newRow("empty Exec") << QByteArray("[Desktop Entry]\nName=Quendra\nExec=\n") << QString();
    QTest::newRow("far larger than any desktop entry")
        << QByteArray("[Desktop Entry]\nExec=quendra\n") + QByteArray(1 << 20, '#') << QString();
}

void TestPlatform::autostartRunsTheInstalledEntry() {
    QFETCH(QByteArray, installedEntry);
    QFETCH(QString, exec);

    // <tree>/bin/quendra with, when installed, <tree>/share/applications/de.quendra.Quendra.desktop.
    QTemporaryDir tree;
    QVERIFY(QDir(tree.path()).mkpath(u"bin"_qs));
    const QString program = tree.filePath(u"bin/quendra"_qs);
    if (!installedEntry.isNull()) {
        QVERIFY(QDir(tree.path()).mkpath(u"share/applications"_qs));
        QFile entry(tree.filePath(u"share/applications/de.quendra.Quendra.desktop"_qs));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(installedEntry);
    }
    QTemporaryDir config;
    const ConfigHome home(config.path());

    XdgAutostart autostart;
    QVERIFY2(autostart.enable(program), qPrintable(autostart.errorString()));
    QFile written(XdgAutostart::entryPath());
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).split(u'\n');
    const QStringList execLines = lines.filter(QRegularExpression(u"^Exec="_qs));
    QCOMPARE(execLines, QStringList{u"Exec="_qs + (exec.isEmpty() ? u'"' + program + u'"' : exec)});
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"

#include "ConfigHome.h"
#include "DesktopNotifications.h"
#include "DesktopScreenSaver.h"
#include "FakeNotificationService.h"
#include "FakePlatform.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "PrivateSessionBus.h"
#include "SystemTrayIcon.h"
#include "ValueDispatch.h"
#include "XdgAutostart.h"

#include <QtTest>

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

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void balloonWithoutTrayGoesToNotificationService_data();
    void balloonWithoutTrayGoesToNotificationService();
    void aNotificationReplacesTheLastOne();
    void noBusNoNotification();
    void autostartRunsTheInstalledEntry_data();
    void autostartRunsTheInstalledEntry();
    void screenSaverWithoutServiceStartsFewHelpers_data();
    void screenSaverWithoutServiceStartsFewHelpers();
    void screenSaverServiceGetsTheNewestWish_data();
    void screenSaverServiceGetsTheNewestWish();
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

// Without a screen-saver service every value would start `xdg-screensaver` from the window's
// thread. One helper runs at a time and only the newest wish waits behind it, so a burst of values
// starts one or two helpers, and the last one does what the last value asked.
void TestPlatform::screenSaverWithoutServiceStartsFewHelpers_data() {
    QTest::addColumn<bool>("sessionBus"); // a bus without the service; else no bus at all
    QTest::addColumn<bool>("lastActivates");
    QTest::addColumn<QString>("lastStart");
    QTest::newRow("bus without service, last starts") << true << true << u"activate"_qs;
    QTest::newRow("bus without service, last ends") << true << false << u"reset"_qs;
    QTest::newRow("no bus, last starts") << false << true << u"activate"_qs;
    QTest::newRow("no bus, last ends") << false << false << u"reset"_qs;
}

void TestPlatform::screenSaverWithoutServiceStartsFewHelpers() {
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
void TestPlatform::screenSaverServiceGetsTheNewestWish_data() {
    QTest::addColumn<bool>("lastActivates");
    QTest::addColumn<QStringList>("lastCalls");
    QTest::newRow("last starts") << true << QStringList{u"SetActive true"_qs};
    QTest::newRow("last ends") << false << QStringList{u"SetActive false"_qs, u"SimulateUserActivity"_qs};
}

void TestPlatform::screenSaverServiceGetsTheNewestWish() {
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

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"

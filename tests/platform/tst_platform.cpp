#include "ConfigHome.h"
#include "DesktopNotifications.h"
#include "FakeNotificationService.h"
#include "FakePlatform.h"
#include "MenuValueTarget.h"
#include "MessageBoxDialogs.h"
#include "Notifications.h"
#include "PrivateSessionBus.h"
#include "SystemTrayIcon.h"
#include "ValueDispatch.h"
#include "XdgAutostart.h"

#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void balloonWithoutTrayGoesToNotificationService_data();
    void balloonWithoutTrayGoesToNotificationService();
    void aNotificationReplacesTheLastOne();
    void noBusNoNotification();
    void autostartRunsTheInstalledEntry_data();
    void autostartRunsTheInstalledEntry();
    void autostartEntryThatCannotBeWrittenIsNamed();
    void errorsNoOneCanSeeGoToTheErrorOutput_data();
    void errorsNoOneCanSeeGoToTheErrorOutput();
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

// A folder in the entry's place: nothing is written or left beside it, and the message names it.
void TestPlatform::autostartEntryThatCannotBeWrittenIsNamed() {
    QTemporaryDir config;
    const ConfigHome home(config.path());
    QVERIFY(QDir().mkpath(XdgAutostart::entryPath()));
    XdgAutostart autostart;
    QVERIFY(!autostart.enable(u"/usr/bin/quendra"_qs));
    QVERIFY2(autostart.errorString().contains(XdgAutostart::entryPath()), qPrintable(autostart.errorString()));
    QCOMPARE(QDir(config.filePath(u"autostart"_qs)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{u"quendra.desktop"_qs});
}

// Once the program is ending, an error box open then, or one that comes later, has no one to read
// it: its text goes to the error output, line breaks as lines. Other boxes leave no text there.
void TestPlatform::errorsNoOneCanSeeGoToTheErrorOutput_data() {
    QTest::addColumn<bool>("openWhenClosing");
    QTest::newRow("shown after the end began") << false;
    QTest::newRow("open when the end began") << true;
}

void TestPlatform::errorsNoOneCanSeeGoToTheErrorOutput() {
    QFETCH(bool, openWhenClosing);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> output(std::tmpfile(), &std::fclose);
    QVERIFY(output);
    MessageBoxDialogs dialogs(output.get());
    const QString text = u"Die Datei \"/x/quendra.ini\" kann nicht geschrieben werden:\rKein Platz"_qs;
    if (openWhenClosing) {
        QTimer::singleShot(0, [&dialogs] { dialogs.closeAll(); });
        dialogs.error(text); // returns when closeAll() closed it
    } else {
        dialogs.closeAll();
        dialogs.error(text);
    }
    dialogs.information(u"Info"_qs);
    QVERIFY(!dialogs.confirm(u"Frage?"_qs));
    std::rewind(output.get());
    QByteArray written(4096, '\0');
    written.truncate(qsizetype(std::fread(written.data(), 1, size_t(written.size()), output.get())));
    QCOMPARE(QString::fromLocal8Bit(written),
             u"Die Datei \"/x/quendra.ini\" kann nicht geschrieben werden:\nKein Platz\n"_qs);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"

#include "ConfigHome.h"
#include "DBusSingleInstance.h"
#include "DesktopNotifications.h"
#include "DesktopScreenSaver.h"
#include "FakeNotificationService.h"
#include "FakePlatform.h"
#include "FieldFocus.h"
#include "HtmlHelpViewer.h"
#include "MenuValueTarget.h"
#include "MessageBoxDialogs.h"
#include "Notifications.h"
#include "PrivateSessionBus.h"
#include "SystemTrayIcon.h"
#include "ToolWindow.h"
#include "ValueDispatch.h"
#include "XdgAutostart.h"

#include <QAccessible>
#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QThread>
#include <QVBoxLayout>
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
    void screenSaverWithoutServiceStartsFewHelpers_data();
    void screenSaverWithoutServiceStartsFewHelpers();
    void screenSaverServiceGetsTheNewestWish_data();
    void screenSaverServiceGetsTheNewestWish();
    void fieldSelectsItsTextOnFocus_data();
    void fieldSelectsItsTextOnFocus();
    void toolWindowClosesWithEscAndIsAWindow();
    void helpIsAWindowThatClosesWithEsc();
    void balloonCloseButtonIsNamed();
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

void TestPlatform::fieldSelectsItsTextOnFocus_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("selected");
    const QString all = u"0.0.0.0"_qs;
    QTest::newRow("Tab") << u"tab"_qs << all;
    QTest::newRow("Shift+Tab") << u"backtab"_qs << all;
    QTest::newRow("click") << u"click"_qs << all;
    QTest::newRow("put there by the program") << u"program"_qs << all;
    // The user's own choices stay.
    QTest::newRow("click into the field that has the focus") << u"click again"_qs << QString();
    QTest::newRow("drag a selection") << u"drag"_qs << u"0.0"_qs;
    QTest::newRow("back from another window") << u"window"_qs << QString();
}

// A field holding one value offers it whole to be typed over when it gets the focus from the
// keyboard, a click or the program.
void TestPlatform::fieldSelectsItsTextOnFocus() {
    QFETCH(QString, how);
    QFETCH(QString, selected);
    QWidget window;
    auto *before = new QLineEdit(&window);
    auto *field = new QLineEdit(u"0.0.0.0"_qs, &window);
    auto *after = new QLineEdit(&window);
    auto *layout = new QVBoxLayout(&window);
    for (QLineEdit *edit : {before, field, after})
        layout->addWidget(edit);
    FieldFocus::selectAllOnFocus(field);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    const QPoint start(field->fontMetrics().horizontalAdvance(u' ') / 2 + 2, field->height() / 2);
    if (how == u"tab"_qs) {
        QTest::keyClick(before, Qt::Key_Tab);
    } else if (how == u"backtab"_qs) {
        after->setFocus();
        QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    } else if (how == u"click"_qs) {
        QTest::mouseClick(field, Qt::LeftButton, {}, start);
    } else if (how == u"program"_qs) {
        field->setFocus(Qt::OtherFocusReason);
    } else if (how == u"click again"_qs) {
        field->setFocus(Qt::OtherFocusReason);
        QTest::mouseClick(field, Qt::LeftButton, {}, start);
    } else if (how == u"drag"_qs) {
        // From before the first character to after the third.
        const auto at = [field](int position) {
            int x = 0;
            while (x < field->width() && field->cursorPositionAt(QPoint(x, field->height() / 2)) < position)
                ++x;
            return QPoint(x, field->height() / 2);
        };
        const QPoint from = at(0);
        const QPoint to = at(3);
        QTest::mousePress(field, Qt::LeftButton, {}, from);
        QTest::mouseMove(field, to);
        QTest::mouseRelease(field, Qt::LeftButton, {}, to);
    } else if (how == u"window"_qs) {
        field->setFocus(Qt::OtherFocusReason);
        field->deselect();
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(field, &back);
    }
    QVERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), selected);
}

// A tool window closes with Esc, also while a text inside it has the focus, and screen readers
// meet it as a window; other widgets are described as before.
void TestPlatform::toolWindowClosesWithEscAndIsAWindow() {
    QWidget owner;
    auto *tool = new QWidget(&owner, Qt::Tool);
    tool->setWindowTitle(u"Quendra Tools"_qs);
    auto *text = new QPlainTextEdit(tool);
    (new QVBoxLayout(tool))->addWidget(text);
    ToolWindow::setUp(tool);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(tool);
    QCOMPARE(accessible->role(), QAccessible::Window);
    QCOMPARE(accessible->text(QAccessible::Name), u"Quendra Tools"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(text)->role(), QAccessible::EditableText);
    QWidget plain;
    QCOMPARE(QAccessible::queryAccessibleInterface(&plain)->role(), QAccessible::Client);

    owner.show();
    tool->show();
    tool->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(tool));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Escape);
    QVERIFY(!tool->isVisible());
    QVERIFY(owner.isVisible());
}

// The help is a window holding its text: announced as a window, read as a text, closed with Esc.
void TestPlatform::helpIsAWindowThatClosesWithEsc() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"quendra.html"_qs);
    QFile html(file);
    QVERIFY(html.open(QIODevice::WriteOnly));
    html.write("<html><body><h1 id=\"context1\">Hauptfenster</h1><p>Hilfe zum Hauptfenster</p></body></html>");
    html.close();
    HtmlHelpViewer viewer;
    viewer.showContext(file, 1);
    QPointer<QWidget> window;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == u"helpWindow"_qs)
            window = w;
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), u"Quendra - Hilfe"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
    auto *text = window->findChild<QTextBrowser *>(u"helpText"_qs);
    QVERIFY(text);
    QVERIFY(text->toPlainText().contains(u"Hilfe zum Hauptfenster"_qs));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(text, Qt::Key_Escape);
    QTRY_VERIFY(!window); // closed, and gone with its text
}

// Qt's own balloon shows its close button as a cross only; screen readers get its name.
void TestPlatform::balloonCloseButtonIsNamed() {
    QWidget balloon;
    auto *close = new QPushButton(&balloon);
    close->setIcon(balloon.style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    auto *captioned = new QPushButton(u"OK"_qs, &balloon);
    SystemTrayIcon::nameBalloonButtons(&balloon);
    QCOMPARE(close->accessibleName(), u"Schließen"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(close)->text(QAccessible::Name), u"Schließen"_qs);
    QVERIFY(captioned->accessibleName().isEmpty());
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

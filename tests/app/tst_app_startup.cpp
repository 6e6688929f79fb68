// The start-up and the closing sequence with the subsystems: their steps in order, the first
// connection, "Neu laden", the command line, termination signals to the real program, and the
// program's own subsystems plugged in.
#include "AppHarness.h"
#include "CommandLine.h"
#include "ConfigHome.h"
#include "FileMessages.h"
#include "HeaderPanel.h"
#include "IniFile.h"
#include "LinkView.h"
#include "LoopbackHttpServer.h"
#include "PortableProgram.h"
#include "QtTranslations.h"
#include "SplashWindow.h"
#include "StatusBar.h"
#include "WebCheckWindow.h"
#include "WorkArea.h"
#include "XdgAutostart.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>

using namespace AppHarness;

class TestAppStartup : public QObject {
    Q_OBJECT

private slots:
    void startupRunsItsStepsInOrder() {
        Harness h;
        h.recordHooks();
        h.notice = true;
        std::function<void()> connectionDone;
        std::function<void(int)> progress;
        h.parts.firstConnection = [&](std::function<void(int)> moveProgress, std::function<void()> done) {
            h.log.append(u"firstConnection"_qs);
            progress = std::move(moveProgress);
            connectionDone = std::move(done);
        };
        QSignalSpy finished(&h.startup, &Startup::finished);
        h.start();

        // The connection is under way: the splash is up and the rest waits for it.
        const QString folder = h.folder.path();
        QCOMPARE(h.log, (QStringList{u"loadMenu "_qs + folder, u"loadLoadReplace "_qs + folder,
                                     u"loadMail "_qs + folder, u"firstConnection"_qs}));
        // The progress handed to the connection moves the splash window's bar.
        auto *bar = h.startup.splash()->findChild<QProgressBar *>(u"startbar"_qs);
        progress(7);
        QCOMPARE(bar->value(), 7);
        QCOMPARE(bar->toolTip(), u"starte Quendra ..."_qs);
        QVERIFY(h.startup.splash()->isVisible());
        QCOMPARE(h.window()->windowTitle(), u"Quendra"_qs);
        QCOMPARE(finished.count(), 0);
        QVERIFY(h.platform.dialogs.boxes.isEmpty());

        connectionDone();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(h.log.last(), u"startPolling"_qs);
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Information),
                 QStringList{
                     u"Es gibt eine neue Funktion der Medungen!\rPrüfe die Einstellungen deiner Menüs mit Ändern"_qs});
        QCOMPARE(h.window()->windowTitle(), u"Quendra - Version "_qs + QStringLiteral(QUENDRA_VERSION));
        QCOMPARE(h.window()->width(), 561);
        // Centred with its start-up width (the platform may shift it by a pixel for its frame).
        const QPoint offCentre =
            h.window()->geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString::number(offCentre.x())));
        QVERIFY(!h.startup.splash()->isVisible());
        QVERIFY(h.window()->isVisible());
        QCOMPARE(h.platform.tray.hint(), u"Quendra"_qs);
        QVERIFY(h.platform.tray.shown);

        connectionDone(); // a second report changes nothing
        QCOMPARE(finished.count(), 1);
    }

    void closingDuringTheFirstConnectionEndsTheStartUp() {
        Harness h;
        h.recordHooks();
        h.notice = true;
        std::function<void()> connectionDone;
        h.parts.firstConnection = [&](std::function<void(int)>, std::function<void()> done) {
            connectionDone = std::move(done);
        };
        h.menuFile.whenStarted = [&] {
            h.log.append(u"toolWindowsCreated"_qs);
        };
        QSignalSpy finished(&h.startup, &Startup::finished);
        MainWindow *w = h.start();
        // Brought up from the tray while the first connection is still under way, and closed.
        h.platform.tray.doubleClick();
        QVERIFY(w->isVisible());
        h.log.clear();
        QSignalSpy closed(w, &MainWindow::closed);
        w->close();
        QCOMPARE(closed.count(), 1);

        connectionDone(); // the closed link ends the attempt
        QCOMPARE(finished.count(), 1);
        QVERIFY(!w->isVisible());
        QVERIFY(!h.startup.splash()->isVisible());
        // Only the closing sequence ran: no polling, no tool windows, no notice.
        const QString folder = h.folder.path();
        QCOMPARE(h.log, (QStringList{u"disconnect"_qs, u"saveMenu "_qs + folder, u"saveLoadReplace "_qs + folder,
                                     u"saveMail "_qs + folder}));
        QVERIFY(h.platform.dialogs.boxes.isEmpty());
        QVERIFY(!h.find<QWidget>(u"TForm3"_qs));
    }

    void neuLadenReloadsTheMenu() {
        Harness h;
        h.recordHooks();
        h.notice = true;
        h.start();
        h.log.clear();
        h.platform.dialogs.boxes.clear();
        h.find<QLineEdit>(u"OVPFAD"_qs)->setText(u"/srv/menus/"_qs);
        QTest::mouseClick(h.find<QPushButton>(u"menuladen"_qs), Qt::LeftButton);
        QCOMPARE(h.log, QStringList{u"loadMenu /srv/menus/"_qs});
        QVERIFY(h.platform.dialogs.boxes.isEmpty());
    }

    void commandLineIsParsed_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("request");
        QTest::addColumn<QString>("errorNames");
        const auto row = [](const char *name, const QStringList &arguments, CommandLine::Request request,
                            const QString &errorNames = {}) {
            QTest::newRow(name) << arguments << int(request) << errorNames;
        };
        row("none", {}, CommandLine::Request::Run);
        row("--help", {u"--help"_qs}, CommandLine::Request::Help);
        row("-h", {u"-h"_qs}, CommandLine::Request::Help);
        row("--version", {u"--version"_qs}, CommandLine::Request::Version);
        // The session manager restarts a saved session with an option of Qt's own.
        row("-session", {u"-session"_qs, u"1a2b"_qs}, CommandLine::Request::Run);
        row("-session, then --version", {u"-session"_qs, u"1a2b"_qs, u"--version"_qs}, CommandLine::Request::Version);
        row("-session without its value", {u"-session"_qs}, CommandLine::Request::Invalid, u"-session"_qs);
        row("unknown option", {u"--verbose"_qs}, CommandLine::Request::Invalid, u"--verbose"_qs);
        row("-v is not --version", {u"-v"_qs}, CommandLine::Request::Invalid, u"-v"_qs);
        row("a file name", {u"quendra.ini"_qs}, CommandLine::Request::Invalid, u"quendra.ini"_qs);
        row("two questions", {u"--help"_qs, u"--version"_qs}, CommandLine::Request::Invalid, u"--version"_qs);
    }

    void commandLineIsParsed() {
        QFETCH(QStringList, arguments);
        QFETCH(int, request);
        QFETCH(QString, errorNames);
        const CommandLine command = CommandLine::parse(arguments);
        QCOMPARE(int(command.request()), request);
        QCOMPARE(command.error().isEmpty(), errorNames.isEmpty());
        QVERIFY(command.error().contains(errorNames));
        QVERIFY(!command.error().contains(u'\n'));
    }

    // Answered by the real program without a display or a session bus: one that opened a window
    // system first would end with Qt's own error instead.
    void commandLineIsAnsweredWithoutADisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("--help") << u"--help"_qs << 0
                                << CommandLine::helpText(QStringLiteral(QUENDRA_HELP_DIR "/quendra.html")) << QString();
        QTest::newRow("--version")
            << u"--version"_qs << 0
            << u"Quendra " QUENDRA_VERSION "\n"
               "Copyright (C) 2026 Quendra-Entwickler\n"
               "Lizenz GPLv3+: GNU GPL Version 3 oder später <https://gnu.org/licenses/gpl.html>.\n"
               "Dies ist freie Software: Sie können sie verändern und weitergeben.\n"
               "Es gibt KEINE GARANTIE, soweit gesetzlich zulässig.\n"_qs
            << QString();
        QTest::newRow("unknown") << u"--gibts-nicht"_qs << CommandLine::kUsageError << QString()
                                 << CommandLine::parse({u"--gibts-nicht"_qs}).error() + u'\n';
    }

    void commandLineIsAnsweredWithoutADisplay() {
        QFETCH(QString, option);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &name :
             {u"QT_QPA_PLATFORM"_qs, u"DISPLAY"_qs, u"WAYLAND_DISPLAY"_qs, u"DBUS_SESSION_BUS_ADDRESS"_qs})
            env.remove(name);
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QUENDRA_BINARY), {option});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        QCOMPARE(QString::fromLocal8Bit(program.readAllStandardOutput()), out);
        QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()), err);
    }

    void terminationSignalClosesInOrder_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationSignalClosesInOrder() {
        QFETCH(int, signalNumber);
        PortableProgram program;
        QVERIFY(program.install("[TEXTE]\nWC1A=offen\n[Orvanel]\nKey=Schl\xfcssel\nAuto=1\n"));
        QVERIFY(program.start());
        // The autostart entry is written while the settings are read, after the handlers are in place.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program.config.filePath(u"autostart/quendra.desktop"_qs)), 20000);

        QVERIFY(program.endsCleanlyOn(signalNumber));
        const QList<QByteArray> lines = program.settingsLines();
        const QList<QByteArray> expected = {"[TEXTE]",     "WC1A=offen",        "[Orvanel]", "Key=Schl\xfcssel",
                                            "Auto=1",      "IP=0.0.0.0",        "TCPPort=0", "Port=0",
                                            "Minimized=0", "Bubble=0",          "Pfad=",     "Mail=0",
                                            "Mailtime=5",  "Screen=Drag&&Drop", "Offline=0", ""};
        QVERIFY2(lines == expected, lines.join('\n').constData());
        QVERIFY(ownerOnly(program.folder.settingsFile()));
    }

    void terminationWhileTheStartUpWaits_data() {
        QTest::addColumn<bool>("notice");
        QTest::newRow("on the gateway's first lines") << false;
        QTest::newRow("on the start-up notice") << true;
    }

    void terminationWhileTheStartUpWaits() {
        QFETCH(bool, notice);
        QTcpServer gateway;
        QVERIFY(gateway.listen(QHostAddress::LocalHost));
        PortableProgram program;
        QVERIFY(program.install(
            QStringLiteral("[Orvanel]\nIP=127.0.0.1\nPort=%1\nKey=k\n").arg(gateway.serverPort()).toLatin1()));
        // An entry of an older menu file: the notice is due at the end of the start-up.
        if (notice)
            QVERIFY(program.folder.write(u"quendramenu.ini"_qs, "[0]\nBezeichnung=Licht\nGAN=1\n"));
        QVERIFY(program.start());

        QTRY_VERIFY_WITH_TIMEOUT(gateway.hasPendingConnections(), 20000);
        QTcpSocket *peer = gateway.nextPendingConnection();
        QTRY_COMPARE_WITH_TIMEOUT(peer->peek(2), QByteArray("k\0", 2), 20000);
        QTimer talking;
        if (notice) {
            // An empty line ends the first drain at once; the notice box then waits for the user.
            peer->write(QByteArray(1, '\0'));
        } else {
            // A line before every read time-out: the first drain goes on as long as the server talks.
            connect(&talking, &QTimer::timeout, peer, [peer] { peer->write(QByteArray("2|1|1.0\0", 8)); });
            talking.start(100);
        }

        QVERIFY(program.endsCleanlyOn(SIGTERM));
        QVERIFY(program.settingsLines().contains("Port=" + QByteArray::number(gateway.serverPort())));
        if (notice) // written on closing with every key, so the notice is not due again
            QVERIFY(IniFile(program.folder.file(u"quendramenu.ini"_qs)).hasKey(u"0"_qs, u"Soundname"_qs));
    }

    // A signal while a box of the start-up is open (no connection attempt made) closes the box and
    // runs the whole closing sequence.
    void terminationWhileAStartUpBoxIsOpen_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("olderMenuFile"); // the notice about the new message keys is due
        QTest::addColumn<bool>("withHelp");
        QTest::newRow("notice, gateway port 0") << QByteArray() << true << true;
        QTest::newRow("notice, Offline ticked")
            << QByteArray("[Orvanel]\nIP=127.0.0.1\nPort=4711\nOffline=1\n") << true << true;
        QTest::newRow("Mailtime no whole number") << QByteArray("[Orvanel]\nMailtime=abc\n") << false << true;
        QTest::newRow("help file missing") << QByteArray() << false << false;
    }

    void terminationWhileAStartUpBoxIsOpen() {
        QFETCH(QByteArray, settings);
        QFETCH(bool, olderMenuFile);
        QFETCH(bool, withHelp);
        PortableProgram program;
        QVERIFY(program.install(settings, withHelp));
        if (olderMenuFile)
            QVERIFY(program.folder.write(u"quendramenu.ini"_qs, "[0]\nBezeichnung=Licht\nGAN=1\n"));
        QVERIFY(program.start());
        QTRY_VERIFY_WITH_TIMEOUT(program.catches(SIGTERM), 20000);

        QVERIFY(program.endsCleanlyOn(SIGTERM));
        const IniFile written(program.folder.settingsFile());
        for (const QString &key : {u"IP"_qs, u"Port"_qs, u"TCPPort"_qs, u"Key"_qs, u"Minimized"_qs, u"Bubble"_qs,
                                   u"Auto"_qs, u"Pfad"_qs, u"Mail"_qs, u"Mailtime"_qs, u"Screen"_qs, u"Offline"_qs})
            QVERIFY2(written.hasKey(u"Orvanel"_qs, key), qPrintable(key));
        if (olderMenuFile) // written on closing with every key
            QVERIFY(IniFile(program.folder.file(u"quendramenu.ini"_qs)).hasKey(u"0"_qs, u"Soundname"_qs));
    }

    // The start-up's error box stays open while the watchdog connects again: afterwards the
    // window shows the link as it is.
    void startupErrorBoxAnsweredAfterTheWatchdogReconnected() {
        QTcpServer gateway;
        QVERIFY(gateway.listen(QHostAddress::LocalHost));
        const quint16 port = gateway.serverPort();
        gateway.close(); // the first attempt is refused
        Harness h(QStringLiteral("[Orvanel]\nIP=127.0.0.1\nPort=%1\nKey=k\n").arg(port).toLatin1());
        LinkTimings timings;
        timings.watchdogIntervalMs = 50;
        timings.resumeCheckIntervalMs = 0;
        h.wire(timings);
        bool reconnectedMeanwhile = false;
        h.platform.dialogs.whileOpen = [&](const FakeDialogs::Box &box) {
            if (!box.text.startsWith(u"Konnte die Verbindung zum OV nicht Herstellen."_qs))
                return;
            QVERIFY(gateway.listen(QHostAddress::LocalHost, port));
            QTRY_VERIFY(h.wiring->link()->link().isConnected());
            reconnectedMeanwhile = true;
        };
        h.start();
        QTRY_VERIFY(h.startup.isFinished());
        QVERIFY(reconnectedMeanwhile);
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(h.wiring->link()->pollingEnabled());
        QCOMPARE(h.find<QPushButton>(u"ovconnectbtn"_qs)->text(), u"disconnect"_qs);
        QVERIFY(!h.find<QLabel>(u"online"_qs)->isHidden());
        QCOMPARE(h.window()->settingsHeader()->caption(),
                 u"Programmeinstellungen - Verbunden mit 127.0.0.1:"_qs + QString::number(port));
    }

    // The window closes (a signal) while an important message is open: the value that raised it
    // is the one saved.
    void closingWhileAMessageIsOpenSavesTheReceivedValue() {
        Harness h;
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Temperatur"_qs, u"21,0"_qs, false, true)));
        h.wire();
        h.platform.dialogs.whileOpen = [&](const FakeDialogs::Box &box) {
            if (box.kind == FakeDialogs::Kind::Information)
                h.window()->close();
        };
        h.start();
        h.wiring->link()->dispatchLine(u"2|5|21.5"_qs, false);
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Information),
                 QStringList{u"Wichtige Meldung vom Orvanel:\r\rTemperatur 21,5"_qs});
        QVERIFY(h.window()->isClosed());
        const MenuFileContent saved = LoadMenuFile(h.folder.file(u"quendramenu.ini"_qs));
        QCOMPARE(saved.menu.size(), 1);
        QCOMPARE(saved.menu.at(0).lv, u"21,5"_qs);
    }

    void balloonsFollowTheGlobalSwitch_data() {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("Balloon ges. ticked") << true;
        QTest::newRow("Balloon ges. not ticked") << false;
    }

    void balloonsFollowTheGlobalSwitch() {
        QFETCH(bool, ticked);
        Harness h(ticked ? "[Orvanel]\nBubble=1\n" : "[Orvanel]\nBubble=0\n");
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Fenster"_qs, u"0,0"_qs, true, false)));
        h.wire();
        h.start();
        const auto balloons = [&] {
            QStringList texts;
            for (const FakeTrayIcon::Balloon &b : h.platform.tray.balloons)
                if (b.title == u"Orvanel:")
                    texts.append(b.text);
            return texts;
        };
        h.wiring->link()->dispatchLine(u"2|5|1.0"_qs, false);
        QCOMPARE(balloons(), ticked ? QStringList{u"Fenster 1,0"_qs} : QStringList());
        // The switch is read when the balloon is due, not at start.
        QTest::mouseClick(h.find<QCheckBox>(u"OVBUBBLE"_qs), Qt::LeftButton);
        h.wiring->link()->dispatchLine(u"2|5|0.0"_qs, false);
        QCOMPARE(balloons(), ticked ? QStringList{u"Fenster 1,0"_qs} : QStringList{u"Fenster 0,0"_qs});
    }

    void neuLadenRebuildsThePopup() {
        Harness h;
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Licht"_qs, u"0,0"_qs, false, false)));
        h.wire();
        h.start();
        QMenu *popup = h.platform.tray.popup;
        QVERIFY(popup);
        QCOMPARE(itemTexts(popup), offlinePopup(QStringList{u"Licht 0,0"_qs}));
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Rollo"_qs, u"1,0"_qs, false, false)));
        QTest::mouseClick(h.find<QPushButton>(u"menuladen"_qs), Qt::LeftButton);
        // Built when it opens.
        popup->popup(QPoint(10, 10));
        QCOMPARE(itemTexts(popup), openedOfflinePopup(QStringList{u"Rollo 1,0"_qs}));
        popup->hide();
    }

    void openPopupPausesPolling() {
        Harness h;
        h.wire();
        h.start();
        QMenu *popup = h.platform.tray.popup;
        QVERIFY(popup);
        QVERIFY(!h.wiring->link()->menuOpen());
        popup->popup(QPoint(10, 10));
        QVERIFY(h.wiring->link()->menuOpen());
        popup->hide();
        QVERIFY(!h.wiring->link()->menuOpen());
    }

    void rightClickOnTheMenuTabPreviewsThePopup() {
        Harness h;
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Licht"_qs, u"0,0"_qs, false, false)));
        h.wire();
        h.start();
        QWidget *menuPage = h.find<QTabWidget>(u"workTabs"_qs)->widget(0);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 30), menuPage->mapToGlobal(QPoint(20, 30)));
        QCoreApplication::sendEvent(menuPage, &click);
        QMenu *popup = h.platform.tray.popup;
        QVERIFY(popup->isVisible());
        QCOMPARE(itemTexts(popup), openedOfflinePopup(QStringList{u"Licht 0,0"_qs}));
        popup->hide();
    }

    void failedMenuSaveShowsItsBox() {
        Harness h;
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Licht"_qs, u"0,0"_qs, false, false)));
        h.wire();
        h.start();
        // A configuration folder that does not exist: the menu file cannot be written there.
        const QString missing = h.folder.file(u"fehlt/"_qs);
        h.find<QLineEdit>(u"OVPFAD"_qs)->setText(missing);
        h.window()->close();
        const QStringList errors = h.platform.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(missing + u"quendramenu.ini"_qs), qPrintable(errors[0]));
    }

    // The automations in the program: the rules come from "quendraload.ini", a value reaches the
    // screen saver before the menu and is downloaded into its rule's file, and the screen-saver
    // binding is saved as "Screen".
    void automationsInTheProgram() {
        Harness h("[Orvanel]\nScreen=768\n");
        LoopbackHttpServer camera(LoopbackHttpServer::response("200 OK", "bild", "image/jpeg"));
        const QString picture = h.folder.file(u"kamera.jpg"_qs);
        QVERIFY(h.folder.write(u"quendraload.ini"_qs, "[0]\nBezeichnung=Kamera\nHost=" + camera.baseUrl().toLatin1() +
                                                          "/cam?v=\nSaveto=" + picture.toLocal8Bit() +
                                                          "\nGANum=768\nGA=1/2/3\n"));
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs,
                               menuEntry(u"Kamera"_qs, u"0,0"_qs, false, true).replace("GAN=5", "GAN=768")));
        h.wire();
        QStringList screenSaverAtMessage;
        h.platform.dialogs.whileOpen = [&](const FakeDialogs::Box &) {
            screenSaverAtMessage = h.platform.screenSaver.calls;
        };
        h.start();
        QCOMPARE(h.find<QTreeView>(u"rtree"_qs)->model()->rowCount(), 1);

        h.wiring->link()->dispatchLine(u"2|768|1.0"_qs, false);
        QCOMPARE(h.platform.screenSaver.calls, QStringList{u"activate"_qs});
        QCOMPARE(screenSaverAtMessage, QStringList{u"activate"_qs});
        QTRY_COMPARE(h.folder.read(u"kamera.jpg"_qs), QByteArray("bild"));
        QCOMPARE(camera.targets(), QList<QByteArray>{"/cam?v=1.0"});

        QLabel *binding = h.find<QLabel>(u"OVSCREENSAVER"_qs);
        QCOMPARE(binding->text(), u"768"_qs);
        h.find<QToolButton>(u"TeButton1"_qs)->click();
        QCOMPARE(binding->text(), u"Drag&Drop"_qs);
        h.window()->close();
        QVERIFY(h.settingsLines().contains("Screen=Drag&&Drop"));
    }

    // The intervals and time-outs of the link as the program builds it.
    void programUsesTheDefaultTimings() {
        Harness h;
        h.wire();
        h.start();
        LinkController *link = h.wiring->link();
        QCOMPARE(link->findChild<QTimer *>(u"Timer1"_qs)->interval(), 2000);
        QCOMPARE(link->findChild<QTimer *>(u"Timer2"_qs)->interval(), 20000);
        const LinkTimings &timings = h.wiring->timings();
        QCOMPARE(timings.pollIntervalMs, 2000);
        QCOMPARE(timings.watchdogIntervalMs, 20000);
        QCOMPARE(timings.connectReadTimeoutMs, 1000);
        QCOMPARE(timings.pollReadTimeoutMs, 500);
        QCOMPARE(timings.connectTimeoutMs, 15000);
    }
};

QTEST_MAIN(TestAppStartup)
#include "tst_app_startup.moc"

#include "AnsiText.h"
#include "AppCore.h"
#include "FakePlatform.h"
#include "IniFile.h"
#include "MainWindow.h"
#include "MenuFile.h"
#include "OvsimProcess.h"
#include "ProgramWiring.h"
#include "SplashWindow.h"
#include "Startup.h"
#include "TempProgramFolder.h"
#include "TerminationSignals.h"
#include "TrayPopup.h"

#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <csignal>
#include <unistd.h>

namespace {
// Four entries bound to demo objects of the simulator: a switch, a toggle, a dimmer and a read
// entry, each announcing its changes in another way.
const QString kMenu = QStringLiteral(R"([0]
Bezeichnung=Licht $3
Symbol=0
Typ=Schaltaktor (0/1)
Aktion=Ein
GAN=1
Balloon=True
Msg=False
Sound=False
Soundname=
[11]
Bezeichnung=Küche $3
Symbol=10
Typ=Schaltaktor (0/1)
Aktion=Um
GAN=2
Balloon=False
Msg=True
Sound=False
Soundname=
[22]
Bezeichnung=Dimmer $4 %
Symbol=12
Typ=Dimmer (Wertgeber)
Aktion=Frei
Wert=55
GAN=768
Balloon=False
Msg=False
Sound=True
Soundname=bell
[33]
Bezeichnung=Temperatur $4 °C
Symbol=16
Typ=Wert lesen
Aktion=lesen
GAN=1280
Balloon=True
Msg=False
Sound=False
Soundname=
)");

LinkTimings fastTimings() {
    LinkTimings t;
    t.pollIntervalMs = 100;
    t.pollReadTimeoutMs = 100;
    t.connectReadTimeoutMs = 200;
    t.watchdogIntervalMs = 600000; // a lost link stays lost for the test
    t.resumeCheckIntervalMs = 0;
    return t;
}

// The real start-up with the real main window and subsystems, the platform faked.
struct Program {
    explicit Program(const TempProgramFolder &folder)
        : core(folder.paths(), platform.services(), QStringLiteral(QUENDRA_HELP_FILE)), wiring(core, fastTimings()),
          startup(core) {}

    bool start() {
        startup.run();
        return QTest::qWaitFor([this] { return startup.isFinished(); }, 5000);
    }
    const MenuList &menu() const { return wiring.menu(); }
    QStringList captions() const {
        QStringList texts;
        for (const QAction *a : wiring.popup()->popupMenu()->actions())
            texts.append(a->text());
        return texts;
    }
    void click(int entry) { wiring.popup()->popupMenu()->actions().at(entry)->trigger(); }
    QStringList busMonitor() const {
        QStringList lines;
        const BusMonitor &model = wiring.link()->busMonitor();
        for (int row = 0; row < model.rowCount(); ++row)
            lines.append(model.index(row).data().toString());
        return lines;
    }
    QStringList notificationBalloons() const {
        QStringList texts;
        for (const auto &b : platform.tray.balloons)
            if (b.title == QLatin1String("Orvanel:"))
                texts.append(b.text);
        return texts;
    }

    FakePlatform platform;
    AppCore core;
    ProgramWiring wiring;
    Startup startup;
};

void writeSettings(const TempProgramFolder &folder, quint16 gatewayPort, quint16 webPort) {
    folder.write(QStringLiteral("quendra.ini"), QStringLiteral("[Orvanel]\nIP=127.0.0.1\nPort=%1\nTCPPort=%2\n"
                                                               "Key=demo\nBubble=1\nPfad=%3\n")
                                                    .arg(gatewayPort)
                                                    .arg(webPort)
                                                    .arg(folder.path())
                                                    .toUtf8());
}
} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void valuesClicksNotificationsAndRestart() {
        TempProgramFolder folder;
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        writeSettings(folder, ovsim.gatewayPort(), ovsim.webPort());
        folder.write(kMenuFileName, AnsiText::encode(kMenu));

        auto program = std::make_unique<Program>(folder);
        Program &p = *program;
        // The window stays alive while the first connection drains the gateway: events keep
        // being handled and the splash's progress bar moves.
        int turnsWhileStarting = 0;
        QTimer spinner;
        connect(&spinner, &QTimer::timeout, this, [&] { turnsWhileStarting += p.startup.isFinished() ? 0 : 1; });
        spinner.start(0);
        QVERIFY(p.start());
        spinner.stop();
        QVERIFY(turnsWhileStarting > 10);
        QVERIFY(p.startup.splash()->progress() > 0);

        // The queued values arrive as initial lines: stored, shown, announced nowhere.
        QCOMPARE(p.menu().at(0).lv, u"0,0"_qs);
        QCOMPARE(p.menu().at(1).lv, u"1,0"_qs);
        QCOMPARE(p.menu().at(2).lv, u"40,0"_qs);
        QCOMPARE(p.menu().at(3).lv, u"21,5"_qs);
        QCOMPARE(p.menu().at(0).stateIcon, 1);  // switch off: base + 1
        QCOMPARE(p.menu().at(1).stateIcon, 10); // switch on: base
        QCOMPARE(p.menu().at(2).stateIcon, 14); // dimmer at 40: base + 2
        QCOMPARE(p.menu().at(3).stateIcon, 16); // read entries keep their symbol
        QVERIFY(p.busMonitor().contains(u"2|768|40.0"_qs));
        QVERIFY(p.notificationBalloons().isEmpty());
        QVERIFY(p.platform.dialogs.texts(FakeDialogs::Kind::Information).isEmpty());
        QVERIFY(p.platform.sounds.played.isEmpty());
        // The first popup is built after the first connection, with its values.
        QCOMPARE(p.captions(),
                 QStringList({u"Licht aus"_qs, u"Küche an"_qs, u"Dimmer 40 %"_qs, u"Temperatur 21 °C"_qs}));

        // "Ein": the line goes out, the server's answer updates the entry at once and raises its balloon.
        p.click(0);
        QTRY_COMPARE(p.menu().at(0).lv, u"1,0"_qs);
        QCOMPARE(p.busMonitor().mid(0, 2), QStringList({u"2|1|1.0"_qs, u"-> 1|1|1"_qs}));
        QCOMPARE(p.notificationBalloons(), QStringList{u"Licht an"_qs});
        QCOMPARE(p.platform.tray.hint(), u"Licht an"_qs);
        QCOMPARE(p.menu().at(0).stateIcon, 0);
        QCOMPARE(p.captions().at(0), u"Licht an"_qs);

        // "Um" sends the opposite of the stored value and shows the important message.
        p.click(1);
        QTRY_COMPARE(p.menu().at(1).lv, u"0,0"_qs);
        QCOMPARE(p.busMonitor().at(1), u"-> 1|2|0"_qs);
        QCOMPARE(p.platform.dialogs.texts(FakeDialogs::Kind::Information),
                 QStringList{u"Wichtige Meldung vom Orvanel:\r\rKüche aus"_qs});

        // "Frei" sends its fixed value and plays its sound.
        p.click(2);
        QTRY_COMPARE(p.menu().at(2).lv, u"55,0"_qs);
        QCOMPARE(p.busMonitor().at(1), u"-> 1|768|55"_qs);
        QCOMPARE(p.platform.sounds.played, QStringList{u"bell"_qs});
        QCOMPARE(p.menu().at(2).stateIcon, 14);
        QCOMPARE(p.captions().at(2), u"Dimmer 55 %"_qs);

        // "lesen" sends nothing.
        const QStringList before = p.busMonitor();
        p.click(3);
        QCOMPARE(p.busMonitor(), before);

        // A change made elsewhere arrives by polling and is announced.
        QVERIFY(ovsim.setValue(u"1280"_qs, u"22.7"_qs));
        QTRY_COMPARE(p.menu().at(3).lv, u"22,7"_qs);
        QCOMPARE(p.notificationBalloons(), QStringList({u"Licht an"_qs, u"Temperatur 22 °C"_qs}));
        QTRY_COMPARE(p.captions().at(3), u"Temperatur 22 °C"_qs);
        QCOMPARE(p.platform.dialogs.texts(FakeDialogs::Kind::Error), QStringList());

        // Closing keeps the values; the next start shows them before any server answers.
        p.startup.mainWindow()->close();
        program.reset();
        const IniFile saved(menuFilePath(folder.path()));
        QCOMPARE(saved.readString(u"0"_qs, u"LV"_qs), u"1,0"_qs);
        QCOMPARE(saved.readString(u"11"_qs, u"LV"_qs), u"0,0"_qs);
        QCOMPARE(saved.readString(u"22"_qs, u"LV"_qs), u"55,0"_qs);
        QCOMPARE(saved.readString(u"33"_qs, u"LV"_qs), u"22,7"_qs);

        ovsim.stop();
        Program again(folder);
        QVERIFY(again.start());
        QCOMPARE(again.platform.dialogs.texts(FakeDialogs::Kind::Error).size(), 1); // the server is gone
        QCOMPARE(again.captions(),
                 QStringList({u"Licht an"_qs, u"Küche aus"_qs, u"Dimmer 55 %"_qs, u"Temperatur 22 °C"_qs}));
        again.startup.mainWindow()->close();
    }

    // SIGTERM in the middle of a burst of a million lines: the closing sequence runs between two
    // slices of lines, and its saves keep the value the program had taken at that moment.
    void sigtermDuringABurstRunsTheClosingSaves() {
        TempProgramFolder folder;
        QTcpServer gateway;
        QVERIFY(gateway.listen(QHostAddress::LocalHost));
        writeSettings(folder, gateway.serverPort(), 1);
        folder.write(kMenuFileName, AnsiText::encode(kMenu));
        QVERIFY(TerminationSignals::install());
        TerminationSignals termination;

        auto program = std::make_unique<Program>(folder);
        QVERIFY(program->start());
        MainWindow *window = program->startup.mainWindow();
        connect(&termination, &TerminationSignals::terminationRequested, window, &QWidget::close);
        QTRY_VERIFY(gateway.hasPendingConnections());
        QTcpSocket *server = gateway.nextPendingConnection();
        constexpr int kLines = 1000000;
        QByteArray burst;
        for (int i = 1; i <= kLines; ++i)
            burst += "2|1280|" + QByteArray::number(i) + '\0';
        server->write(burst);

        QTRY_VERIFY(!program->menu().at(3).lv.isEmpty());
        ::kill(::getpid(), SIGTERM);
        QTRY_VERIFY(window->isClosed());
        const QString atClose = program->menu().at(3).lv;
        QVERIFY(atClose != QString::number(kLines)); // the burst was still coming
        program.reset();
        const IniFile saved(menuFilePath(folder.path()));
        QCOMPARE(saved.readString(u"33"_qs, u"LV"_qs), atClose);
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"

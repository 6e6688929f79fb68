#pragma once

// The whole program against the simulator: the real start-up with the real main window and
// subsystems, the platform faked, and the simulator's demo objects in a menu.
#include "AnsiText.h"
#include "AppCore.h"
#include "FakePlatform.h"
#include "FastTimings.h"
#include "History.h"
#include "HistoryWiring.h"
#include "MenuFile.h"
#include "OvsimProcess.h"
#include "ProgramWiring.h"
#include "Startup.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace ProgramFixture {
// Four entries bound to demo objects of the simulator: a switch, a toggle, a dimmer and a read
// entry, each announcing its changes in another way.
inline const QString kMenu = QStringLiteral(R"([0]
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

// The tests' short timings, with a lost link that stays lost and a server stopped soon after the
// start taken as gone, not as refusing the key.
inline LinkTimings programTimings() {
    LinkTimings t = fastTimings();
    t.watchdogIntervalMs = 600000;
    t.keyRefusalWindowMs = 0;
    return t;
}

// The real start-up with the real main window and subsystems, the platform faked.
struct Program {
    explicit Program(const TempProgramFolder &folder, LinkTimings timings = programTimings())
        : core(folder.paths(), platform.services(), QStringLiteral(QUENDRA_HELP_FILE)), wiring(core, timings),
          startup(core) {
        // What the frame reports of the link: lost, back, its key refused.
        QObject::connect(&core.events(), &FrameEvents::happened, [this](const FrameEvent &event) {
            using Kind = FrameEvent::Kind;
            if (event.kind == Kind::LinkLost || event.kind == Kind::LinkRestored || event.kind == Kind::KeyRefused)
                linkEvents.append(event.kind);
        });
    }

    bool start() {
        startup.run();
        return QTest::qWaitFor([this] { return startup.isFinished(); }, 5000);
    }
    // The start-up's own balloons (connecting, connected) are unread events of the history, counted
    // in the popup's title row once written; read, they leave the popup to its entries.
    bool readStartupEvents() {
        History &history = *wiring.history()->history();
        history.markAllRead();
        bool read = false;
        history.afterWrites(&history, [&read] { read = true; });
        return QTest::qWaitFor([&read] { return read; }, 5000);
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
    QList<FrameEvent::Kind> linkEvents;
};

inline void writeSettings(const TempProgramFolder &folder, quint16 gatewayPort, quint16 webPort) {
    folder.write(QStringLiteral("quendra.ini"), QStringLiteral("[Orvanel]\nIP=127.0.0.1\nPort=%1\nTCPPort=%2\n"
                                                               "Key=demo\nBubble=1\nPfad=%3\n")
                                                    .arg(gatewayPort)
                                                    .arg(webPort)
                                                    .arg(folder.path())
                                                    .toUtf8());
}

// The simulator started, and the program's settings (and, withMenu, the menu above) written for it.
inline bool startAgainst(OvsimProcess &ovsim, const TempProgramFolder &folder, bool withMenu = true) {
    if (!ovsim.start())
        return false;
    writeSettings(folder, ovsim.gatewayPort(), ovsim.webPort());
    return !withMenu || folder.write(kMenuFileName, AnsiText::encode(kMenu));
}
} // namespace ProgramFixture

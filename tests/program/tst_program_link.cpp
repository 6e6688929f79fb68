// The whole program and its link: the link's state wherever it shows, a refused key, the popup by
// keyboard, one program per session, and the closing saves during a burst.
#include "AnsiText.h"
#include "AppCore.h"
#include "CatalogueController.h"
#include "CatalogueTreeView.h"
#include "FakePlatform.h"
#include "ImageLists.h"
#include "IniFile.h"
#include "MainWindow.h"
#include "MenuFile.h"
#include "OvsimProcess.h"
#include "PrivateSessionBus.h"
#include "ProgramFixture.h"
#include "ProgramWiring.h"
#include "SettingsPanel.h"
#include "SplashWindow.h"
#include "Startup.h"
#include "StatusBar.h"
#include "TempProgramFolder.h"
#include "TerminationSignals.h"
#include "TrayIconLook.h"
#include "TrayPopup.h"
#include "WidgetDriving.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeView>
#include <csignal>
#include <sys/inotify.h>
#include <unistd.h>

using namespace ProgramFixture;

namespace {
// Counts how often a file of a folder is written: replaced by a rename (as the program saves) or
// written in place.
class FileWrites : public QObject {
public:
    FileWrites(const QString &folder, const QString &name) : m_name(name.toLocal8Bit()) {
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd < 0 ||
            inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0)
            return;
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &FileWrites::read);
    }
    ~FileWrites() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isWatching() const { return m_notifier; }
    // Reads what the kernel has noted so far.
    int count() {
        read();
        return m_count;
    }

private:
    void read() {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->len > 0 && m_name == event->name)
                    ++m_count;
                at += ssize_t(sizeof(inotify_event)) + event->len;
            }
        }
    }

    QByteArray m_name;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    int m_count = 0;
};

// The built program as a user starts it: headless, with a home of the test's own (settings in
// ~/.config/quendra) and the session bus given.
struct RealProgram {
    RealProgram(const QString &home, const QString &busAddress) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        env.insert(u"HOME"_qs, home);
        env.insert(u"XDG_CONFIG_HOME"_qs, home + u"/.config"_qs);
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs, busAddress);
        process.setProcessEnvironment(env);
    }
    ~RealProgram() {
        if (process.state() != QProcess::NotRunning) {
            ::kill(pid_t(process.processId()), SIGCONT);
            process.kill();
            process.waitForFinished();
        }
    }
    bool start() {
        process.start(QStringLiteral(QUENDRA_BINARY), {});
        return process.waitForStarted();
    }
    // Ends it as the session does at logout; true when it ended by itself with code 0.
    bool terminate() {
        QSignalSpy finished(&process, &QProcess::finished);
        ::kill(pid_t(process.processId()), SIGTERM);
        return finished.wait(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    bool finishes() {
        if (process.state() == QProcess::NotRunning)
            return true;
        QSignalSpy finished(&process, &QProcess::finished);
        return finished.wait(20000);
    }

    QProcess process;
};

// A gateway that takes connections, counts them and keeps them open without a word.
struct CountingGateway {
    CountingGateway() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                ++connections;
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
            }
        });
    }
    QTcpServer server;
    int connections = 0;
};
} // namespace

class TestProgramLink : public QObject {
    Q_OBJECT

private slots:
    // The link goes down: the tray icon, status bar panel 0, the online indicator's name and the popup's
    // title row say so, the entries keep their last values; a new connection takes it all back.
    void linkStateShowsEverywhere() {
        TempProgramFolder folder;
        auto ovsim = std::make_unique<OvsimProcess>();
        QVERIFY(startAgainst(*ovsim, folder));
        Program p(folder);
        const QList<FrameEvent::Kind> &linkEvents = p.linkEvents;
        QVERIFY(p.start());
        QVERIFY(p.readStartupEvents());
        MainWindow *w = p.startup.mainWindow();
        auto *online = WidgetDriving::named<QLabel>(w, u"online"_qs);
        QMenu *popup = p.wiring.popup()->popupMenu();
        // The picture with the count of unread events the history draws on it.
        const auto trayShows = [&p, w](const QIcon &icon) {
            const QIcon drawn = TrayIconLook::withCount(icon, w->trayIconLook().count());
            return p.platform.tray.icon.pixmap(16, 16).toImage() == drawn.pixmap(16, 16).toImage();
        };
        const QStringList entries{u"Licht aus"_qs, u"Küche an"_qs, u"Dimmer 40 %"_qs, u"Temperatur 21 °C"_qs};
        QCOMPARE(w->statusBar1()->panelText(0), u"Mit OV verbunden / 0 KO gefunden"_qs);
        QVERIFY(trayShows(ImageLists::applicationIcon()));
        QVERIFY(!trayShows(ImageLists::offlineIcon()));
        QCOMPARE(online->accessibleName(), u"online"_qs);
        QCOMPARE(p.captions(), entries);
        QCOMPARE(popup->accessibleName(), u"Quendra"_qs);

        ovsim.reset(); // the server is gone
        QTRY_COMPARE(w->statusBar1()->panelText(0), u"OV offline"_qs);
        QVERIFY(trayShows(ImageLists::offlineIcon()));
        QCOMPARE(online->accessibleName(), u"offline"_qs);
        QCOMPARE(p.captions(), QStringList({TrayPopup::kOfflineTitle, QString()}) + entries);
        QVERIFY(!popup->actions().at(0)->isEnabled());
        QCOMPARE(popup->accessibleName(), u"Quendra – offline"_qs);
        QTRY_VERIFY(p.wiring.link()->watchdogEnabled());
        QCOMPARE(w->statusBar1()->panelText(0), u"OV offline"_qs); // the link's own "disconnected" keeps it

        OvsimProcess again;
        QVERIFY(again.start());
        p.wiring.link()->link().setPort(again.gatewayPort());
        QTest::mouseClick(WidgetDriving::named<QPushButton>(w, u"ovconnectbtn"_qs), Qt::LeftButton);
        QTRY_VERIFY(trayShows(ImageLists::applicationIcon()));
        QCOMPARE(w->statusBar1()->panelText(0), u"Verbunden."_qs);
        QCOMPARE(online->accessibleName(), u"online"_qs);
        QCOMPARE(popup->accessibleName(), u"Quendra"_qs);
        QCOMPARE(p.captions().first(), entries.first());
        // Its loss and its return are events the user may look up later.
        QCOMPARE(linkEvents, (QList<FrameEvent::Kind>{FrameEvent::Kind::LinkLost, FrameEvent::Kind::LinkRestored}));
        w->close();
    }

    // A server that hangs up right after the key line has refused the key; later it is only gone.
    void aKeyTheServerRefusesIsNamed_data() {
        QTest::addColumn<int>("refusalWindowMs");
        QTest::addColumn<QString>("said");
        QTest::newRow("closed right after the key") << 1000 << u"Verbindung nach dem Key geschlossen – Key prüfen"_qs;
        QTest::newRow("closed later") << 0 << u"OV offline"_qs;
    }

    void aKeyTheServerRefusesIsNamed() {
        QFETCH(int, refusalWindowMs);
        QFETCH(QString, said);
        TempProgramFolder folder;
        QTcpServer gateway;
        QVERIFY(gateway.listen(QHostAddress::LocalHost));
        writeSettings(folder, gateway.serverPort(), 1);
        // It reads the key line and closes the connection at once.
        connect(&gateway, &QTcpServer::newConnection, this, [&gateway] {
            QTcpSocket *socket = gateway.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (socket->readAll().contains('\0'))
                    socket->disconnectFromHost();
            });
        });
        LinkTimings timings = programTimings();
        timings.keyRefusalWindowMs = refusalWindowMs;
        Program p(folder, timings);
        QVERIFY(p.start());
        MainWindow *w = p.startup.mainWindow();
        QTRY_VERIFY(p.wiring.link()->watchdogEnabled());
        QCOMPARE(w->statusBar1()->panelText(0), said);
        QCOMPARE(p.busMonitor().contains(u"Verbindung nach dem Key geschlossen – Key prüfen"_qs),
                 said != u"OV offline"_qs);
        // The specified balloons stay as they are.
        QVERIFY(!p.platform.tray.balloons.isEmpty());
        QCOMPARE(p.platform.tray.balloons.last().text, u"Nicht verbunden."_qs);
        QVERIFY(!p.linkEvents.isEmpty());
        QCOMPARE(p.linkEvents.first(),
                 said == u"OV offline"_qs ? FrameEvent::Kind::LinkLost : FrameEvent::Kind::KeyRefused);
        w->close();
    }

    // The context-menu key and Shift+F10 on the "Menü" tab open the tray popup with its first entry
    // chosen; Enter runs it, as a click would.
    void contextKeysOpenThePopup_data() {
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("context-menu key") << QKeySequence(Qt::Key_Menu);
        QTest::newRow("Shift+F10") << QKeySequence(Qt::SHIFT | Qt::Key_F10);
    }

    void contextKeysOpenThePopup() {
        QFETCH(QKeySequence, key);
        TempProgramFolder folder;
        OvsimProcess ovsim;
        QVERIFY(startAgainst(ovsim, folder));
        Program p(folder);
        QVERIFY(p.start());
        MainWindow *w = p.startup.mainWindow();
        auto *btree = WidgetDriving::named<QTreeView>(w, u"btree"_qs);
        btree->setFocus();
        QTest::keySequence(btree, key);
        QMenu *popup = p.wiring.popup()->popupMenu();
        QVERIFY(popup->isVisible());
        // The first entry, below the title rows that are none.
        const QList<QAction *> items = popup->actions();
        const auto firstEntry =
            std::find_if(items.begin(), items.end(), [](const QAction *a) { return a->data().isValid(); });
        QVERIFY(firstEntry != items.end());
        QCOMPARE(popup->activeAction(), *firstEntry);
        // A screen reader reads every entry by its caption.
        QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(popup);
        QVERIFY(menu);
        QCOMPARE(menu->childCount(), p.captions().size());
        for (int i = 0; i < menu->childCount(); ++i)
            QCOMPARE(menu->child(i)->text(QAccessible::Name), p.captions().at(i));

        QTest::keyClick(popup, Qt::Key_Return);
        QTRY_COMPARE(p.menu().at(0).lv, u"1,0"_qs);
        QVERIFY(p.busMonitor().contains(u"-> 1|1|1"_qs));
        QVERIFY(!popup->isVisible());
        w->close();
    }

    // The program started a second time in the same session: the second start asks the first for
    // its window and ends; nothing runs twice (one link to the server, one save of the menu file at
    // exit). A first start that hangs is named, and still no second link is made.
    void aSecondStartHandsOverToTheFirst_data() {
        QTest::addColumn<bool>("firstHangs");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("the first answers") << false << 0 << QString();
        QTest::newRow("the first hangs") << true << 1 << u"Quendra läuft bereits, antwortet aber nicht"_qs;
    }

    void aSecondStartHandsOverToTheFirst() {
        QFETCH(bool, firstHangs);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        PrivateSessionBus bus;
        QVERIFY2(bus.start(), "dbus-daemon did not start");
        CountingGateway gateway;
        QVERIFY(gateway.server.isListening());
        QTemporaryDir home;
        const QString folder = home.filePath(u".config/quendra/"_qs);
        QVERIFY(QDir().mkpath(folder));
        // In the tray at start: without a tray (headless) that is minimised in the task bar.
        QFile settings(folder + u"quendra.ini"_qs);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(QStringLiteral("[Orvanel]\r\nIP=127.0.0.1\r\nPort=%1\r\nTCPPort=1\r\nKey=demo\r\n"
                                      "Minimized=1\r\nPfad=%2\r\n")
                           .arg(gateway.server.serverPort())
                           .arg(folder)
                           .toUtf8());
        settings.close();
        QFile menu(folder + kMenuFileName);
        QVERIFY(menu.open(QIODevice::WriteOnly));
        menu.write(AnsiText::encode(kMenu));
        menu.close();
        FileWrites menuWrites(folder, kMenuFileName);
        QVERIFY(menuWrites.isWatching());

        RealProgram first(home.path(), bus.address());
        QVERIFY(first.start());
        QTRY_COMPARE_WITH_TIMEOUT(gateway.connections, 1, 20000);
        QDBusConnection user = bus.connect(u"user"_qs);
        const auto windowShown = [&user] {
            const QDBusReply<QDBusVariant> reply =
                user.call(QDBusMessage::createMethodCall(u"de.quendra.Quendra"_qs, u"/de/quendra/Quendra"_qs,
                                                         u"org.freedesktop.DBus.Properties"_qs, u"Get"_qs)
                          << u"de.quendra.Quendra"_qs << u"WindowShown"_qs);
            return reply.isValid() && reply.value().variant().toBool();
        };
        QVERIFY(!windowShown());
        if (firstHangs)
            ::kill(pid_t(first.process.processId()), SIGSTOP);

        RealProgram second(home.path(), bus.address());
        QVERIFY(second.start());
        QVERIFY(second.finishes());
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), exitCode);
        const QString err = QString::fromLocal8Bit(second.process.readAllStandardError());
        QVERIFY2(said.isEmpty() || err.contains(said), qPrintable(err));
        QCOMPARE(first.process.state(), QProcess::Running);
        if (firstHangs)
            ::kill(pid_t(first.process.processId()), SIGCONT);
        else
            QTRY_VERIFY(windowShown()); // the first got the wish (shown at once, or when its start-up ends)

        QVERIFY(first.terminate());
        QCOMPARE(gateway.connections, 1);
        QCOMPARE(menuWrites.count(), 1);
    }

    // Without a session bus a second start cannot be noticed: the program starts all the same and
    // says so.
    void withoutASessionBusTheProgramStartsAndSaysSo() {
        CountingGateway gateway;
        QTemporaryDir home;
        const QString folder = home.filePath(u".config/quendra/"_qs);
        QVERIFY(QDir().mkpath(folder));
        QFile settings(folder + u"quendra.ini"_qs);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(QStringLiteral("[Orvanel]\r\nIP=127.0.0.1\r\nPort=%1\r\nKey=demo\r\n")
                           .arg(gateway.server.serverPort())
                           .toUtf8());
        settings.close();
        RealProgram program(home.path(), u"unix:path=/nonexistent"_qs);
        QVERIFY(program.start());
        QTRY_COMPARE_WITH_TIMEOUT(gateway.connections, 1, 20000);
        QVERIFY(program.terminate());
        const QString err = QString::fromLocal8Bit(program.process.readAllStandardError());
        QVERIFY2(err.contains(u"Keine D-Bus-Sitzung"_qs), qPrintable(err));
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

QTEST_MAIN(TestProgramLink)
#include "tst_program_link.moc"

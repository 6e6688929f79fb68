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
#include "ProgramWiring.h"
#include "SettingsPanel.h"
#include "SplashWindow.h"
#include "Startup.h"
#include "StatusBar.h"
#include "TempProgramFolder.h"
#include "TerminationSignals.h"
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
    // A server stopped by a test soon after the start is gone, not refusing the key.
    t.keyRefusalWindowMs = 0;
    return t;
}

// The real start-up with the real main window and subsystems, the platform faked.
struct Program {
    explicit Program(const TempProgramFolder &folder, LinkTimings timings = fastTimings())
        : core(folder.paths(), platform.services(), QStringLiteral(QUENDRA_HELP_FILE)), wiring(core, timings),
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
// The keys of a section of an INI file, in file order.
QStringList keysOf(const QString &path, const QString &section) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList keys;
    bool inside = false;
    for (const QString &line : AnsiText::decode(f.readAll()).split(u'\n')) {
        const QString l = line.trimmed();
        if (l.startsWith(u'['))
            inside = l == u'[' + section + u']';
        else if (inside && l.contains(u'='))
            keys << l.section(u'=', 0, 0);
    }
    return keys;
}

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

// The menu editor on the real main window, with the catalogue the simulator serves.
struct EditorUser {
    Program &p;
    MainWindow *window() const { return p.startup.mainWindow(); }
    template <typename W> W *find(const QString &name) const { return WidgetDriving::named<W>(window(), name); }
    QTreeView *ovtree() const { return find<QTreeView>(u"ovtree"_qs); }
    QTreeView *btree() const { return find<QTreeView>(u"btree"_qs); }
    QPushButton *button(const QString &name) const { return find<QPushButton>(name); }

    // The catalogue node of the object with this group address, searched through the whole tree.
    QModelIndex object(const QString &ga, const QModelIndex &parent = {}) const {
        const QAbstractItemModel *model = ovtree()->model();
        for (int row = 0; row < model->rowCount(parent); ++row) {
            const QModelIndex child = model->index(row, 0, parent);
            if (child.data().toString().startsWith(ga + u' '))
                return child;
            if (const QModelIndex found = object(ga, child); found.isValid())
                return found;
        }
        return {};
    }
    // Drags the object from the catalogue tree and drops it on the menu tree, with the drag data
    // the catalogue tree gives.
    bool drag(const QString &ga) const {
        const QModelIndex index = object(ga);
        if (!index.isValid())
            return false;
        ovtree()->setCurrentIndex(index);
        std::unique_ptr<QMimeData> data(ovtree()->model()->mimeData({index}));
        return WidgetDriving::dropOnto(btree()->viewport(), *data);
    }
    // The catalogue tree's context menu, opened with a key on the chosen object.
    QMenu *dropMenu(const QString &ga, const QKeySequence &key) const {
        ovtree()->setFocus();
        ovtree()->setCurrentIndex(object(ga));
        QTest::keySequence(ovtree(), key);
        auto *menu = ovtree()->findChild<QMenu *>(u"ovtreeMenu"_qs);
        return menu && menu->isVisible() ? menu->findChild<QMenu *>(u"dropOnto"_qs) : nullptr;
    }
    void choose(const QString &comboName, const QString &text) const {
        WidgetDriving::choose(find<QComboBox>(comboName), text);
    }
    void select(qsizetype flat) const {
        const QAbstractItemModel *model = btree()->model();
        const QModelIndex entry = model->index(int(flat / 11), 0);
        btree()->setCurrentIndex(flat % 11 == 0 ? entry : model->index(int(flat % 11 - 1), 0, entry));
    }
    // The tree's entries, the menu file and the popup all show the same menu.
    void checkInSync() const {
        const MenuList &menu = p.menu();
        QStringList texts, popup;
        for (const MenuCommand &c : menu) {
            texts << c.bezeichnung;
            popup << (c.bezeichnung == u"-"_qs ? QString() : popupCaption(c.bezeichnung, c.lv, p.core.wildcardTexts()));
        }
        const QAbstractItemModel *model = btree()->model();
        QStringList tree;
        for (int row = 0; row < model->rowCount(); ++row)
            tree << model->index(row, 0).data().toString();
        QCOMPARE(tree, texts);
        QCOMPARE(p.captions(), popup);
        // The file holds every entry with all its keys; the state icon is not stored.
        MenuList stored = LoadMenuFile(menuFile).menu;
        for (qsizetype k = 0; k < stored.size() && k < menu.size(); ++k)
            stored[k].stateIcon = menu.at(k).stateIcon;
        QCOMPARE(stored, menu);
    }
    QString menuFile;
};
} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    // The user builds the menu from the simulator's catalogue on the "Menü" tab, by dragging and
    // from the keyboard; after every step the tree, the menu file and the tray popup agree.
    void menuEditorBuildsTheMenuFromTheCatalogue() {
        TempProgramFolder folder;
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        writeSettings(folder, ovsim.gatewayPort(), ovsim.webPort());
        Program p(folder);
        QVERIFY(p.start());
        const EditorUser user{p, folder.file(kMenuFileName)};
        QVERIFY(QTest::qWaitForWindowExposed(user.window()));
        QSignalSpy loaded(p.wiring.catalogue(), &CatalogueController::loadFinished);
        user.button(u"OVxmlLoadbtn"_qs)->click();
        QVERIFY(loaded.wait(40000));
        QVERIFY(user.object(u"0/0/1"_qs).isValid());
        QWidget *parapanel = user.find<QWidget>(u"parapanel"_qs);
        QPushButton *hinzubtn = user.button(u"hinzubtn"_qs);
        QVERIFY(parapanel->isHidden());

        // A switch, dragged: the panel opens with the object's name; a symbol makes it addable.
        QVERIFY(user.drag(u"0/0/1"_qs));
        QVERIFY(parapanel->isVisible());
        QCOMPARE(user.find<QLabel>(u"Bez"_qs)->text(), u"Licht Wohnzimmer"_qs);
        QVERIFY(!hinzubtn->isEnabled());
        user.choose(u"Symbol1"_qs, u"Lampe 1"_qs);
        QVERIFY(hinzubtn->isEnabled());
        hinzubtn->click();
        QVERIFY(parapanel->isHidden());
        QCOMPARE(p.menu().size(), 1);
        user.checkInSync();
        const IniFile file(user.menuFile);
        const QStringList keys{u"Bezeichnung"_qs, u"Symbol"_qs,  u"Typ"_qs, u"Aktion"_qs, u"Wert"_qs,     u"GAN"_qs,
                               u"LV"_qs,          u"Balloon"_qs, u"Msg"_qs, u"Sound"_qs,  u"Soundname"_qs};
        QCOMPARE(keysOf(user.menuFile, u"0"_qs), keys);
        QCOMPARE(file.readString(u"0"_qs, u"Bezeichnung"_qs), u"Licht Wohnzimmer"_qs);
        QCOMPARE(file.readString(u"0"_qs, u"Typ"_qs), u"Schaltaktor (0/1)"_qs);
        QCOMPARE(file.readString(u"0"_qs, u"Aktion"_qs), u"Ein"_qs);
        QCOMPARE(file.readString(u"0"_qs, u"GAN"_qs), u"1"_qs);
        QCOMPARE(file.readString(u"0"_qs, u"Symbol"_qs), u"0"_qs);

        // A dimmer with the value 55, from the keyboard: the context-menu key on the object offers
        // the tab's drop targets, and the menu's does what the drop does.
        QMenu *targets = user.dropMenu(u"0/3/0"_qs, QKeySequence(Qt::Key_Menu));
        QVERIFY(targets);
        QVERIFY(targets->isEnabled());
        QCOMPARE(targets->title(), u"Ablegen auf …"_qs);
        QCOMPARE(targets->actions().size(), 1);
        QCOMPARE(targets->actions().at(0)->text(), u"Menü"_qs);
        targets->actions().at(0)->trigger();
        user.find<QMenu>(u"ovtreeMenu"_qs)->hide();
        QVERIFY(parapanel->isVisible());
        QCOMPARE(user.find<QLabel>(u"Bez"_qs)->text(), u"Dimmer Esszimmer"_qs);
        // While its parameters are open, the menu takes no second object and says why.
        QMenu *whileOpen = user.dropMenu(u"0/3/0"_qs, QKeySequence(Qt::Key_Menu));
        QVERIFY(whileOpen);
        QCOMPARE(whileOpen->actions().at(0)->text(), u"Menü – erst Parameter abschließen"_qs);
        QVERIFY(!whileOpen->actions().at(0)->isEnabled());
        user.find<QMenu>(u"ovtreeMenu"_qs)->hide();
        QCOMPARE(user.find<QLabel>(u"Bez"_qs)->text(), u"Dimmer Esszimmer"_qs);
        user.choose(u"Typ1"_qs, u"Dimmer (Wertgeber)"_qs);
        user.choose(u"Aktion1"_qs, u"Frei"_qs);
        QTest::keyClicks(user.find<QLineEdit>(u"xwert"_qs), u"55"_qs);
        user.choose(u"Symbol1"_qs, u"Dimmer"_qs);
        hinzubtn->click();
        QCOMPARE(p.menu().size(), 2);
        QCOMPARE(p.menu().at(1).gan, u"768"_qs);
        QCOMPARE(p.menu().at(1).wert, u"55"_qs);
        QCOMPARE(p.menu().at(1).typ, u"Dimmer (Wertgeber)"_qs);
        QCOMPARE(IniFile(user.menuFile).readString(u"11"_qs, u"Wert"_qs), u"55"_qs);
        user.checkInSync();

        // A read entry, dragged.
        QVERIFY(user.drag(u"0/5/0"_qs));
        user.choose(u"Typ1"_qs, u"Wert lesen"_qs);
        user.choose(u"Aktion1"_qs, u"lesen"_qs);
        user.choose(u"Symbol1"_qs, u"Temperatur"_qs);
        hinzubtn->click();
        QCOMPARE(p.menu().at(2).gan, u"1280"_qs);
        QCOMPARE(p.menu().at(2).aktion, u"lesen"_qs);
        QCOMPARE(p.menu().at(2).stateIcon, 16);
        user.checkInSync();

        // Change the switch to "Um" with another symbol.
        user.select(0);
        user.button(u"aendernbtn"_qs)->click();
        QVERIFY(parapanel->isVisible());
        QCOMPARE(hinzubtn->text(), u"Ändern"_qs);
        user.choose(u"Aktion1"_qs, u"Um"_qs);
        user.choose(u"Symbol1"_qs, u"Steckdose"_qs);
        hinzubtn->click();
        QCOMPARE(p.menu().at(0).aktion, u"Um"_qs);
        QCOMPARE(p.menu().at(0).symbol, 4);
        user.checkInSync();

        // Up and down.
        const QStringList order{u"Licht Wohnzimmer"_qs, u"Dimmer Esszimmer"_qs, u"Temperatur Wohnzimmer"_qs};
        user.select(22);
        user.button(u"Aufbtn"_qs)->click();
        QCOMPARE(p.menu().at(1).bezeichnung, order.at(2));
        user.checkInSync();
        user.button(u"Abbtn"_qs)->click();
        QCOMPARE(p.menu().at(2).bezeichnung, order.at(2));
        user.checkInSync();

        // A separator.
        user.button(u"Liniebtn"_qs)->click();
        QCOMPARE(p.menu().at(3), MenuCommand::separator());
        user.checkInSync();

        // Rename in place to its own name: made unique with its position; the popup shows it at
        // once, the file with the next save.
        user.select(0);
        QTest::keyClick(user.btree(), Qt::Key_F2);
        auto *edit = user.btree()->viewport()->findChild<QLineEdit *>();
        QVERIFY(edit);
        edit->setText(u"Licht Wohnzimmer"_qs);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_COMPARE(p.menu().at(0).bezeichnung, u"Licht Wohnzimmer0"_qs);
        QCOMPARE(p.captions().at(0).left(18), u"Licht Wohnzimmer0 "_qs);

        // Delete the dimmer with the Delete key, after the question.
        user.select(11);
        p.platform.dialogs.answers = {true};
        QTest::keyClick(user.btree(), Qt::Key_Delete);
        QCOMPARE(p.platform.dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{u"Wirklich löschen?"_qs});
        QCOMPARE(p.menu().size(), 3);
        user.checkInSync();
        QCOMPARE(IniFile(user.menuFile).sections(), (QStringList{u"0"_qs, u"11"_qs, u"22"_qs}));

        // The tray's entry switches the object.
        p.click(0);
        QTRY_VERIFY(p.busMonitor().contains(u"-> 1|1|1"_qs) || p.busMonitor().contains(u"-> 1|1|0"_qs));

        // On another tab the menu is no target but that tab's own are; Shift+F10 opens the same menu.
        const QList<std::pair<int, QStringList>> otherTabs{
            {1, {u"Load & Replace"_qs}},
            {2, {u"Anzahl der Emails"_qs, u"Absender"_qs, u"Betreff"_qs, u"Datum/Uhrzeit"_qs}},
            {3, {u"KO für Bildschirmschoner"_qs}}};
        for (const auto &[tab, captions] : otherTabs) {
            user.find<QTabWidget>(u"workTabs"_qs)->setCurrentIndex(tab);
            targets = user.dropMenu(u"0/0/1"_qs, QKeySequence(Qt::SHIFT | Qt::Key_F10));
            QVERIFY(targets);
            QStringList offered;
            for (const QAction *action : targets->actions())
                offered.append(action->text().replace(u"&&"_qs, u"&"_qs));
            QCOMPARE(offered, captions);
            if (tab == 3) // the screen saver is bound as by a drop
                targets->actions().at(0)->trigger();
            user.find<QMenu>(u"ovtreeMenu"_qs)->hide();
        }
        p.startup.mainWindow()->close();
        const QString screen = IniFile(folder.settingsFile()).readString(u"Orvanel"_qs, u"Screen"_qs);
        QVERIFY2(!screen.isEmpty() && screen.front().isDigit(), qPrintable(screen));
    }

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
        QCOMPARE(again.captions(), QStringList({TrayPopup::kOfflineTitle, QString(), u"Licht an"_qs, u"Küche aus"_qs,
                                                u"Dimmer 55 %"_qs, u"Temperatur 22 °C"_qs}));
        again.startup.mainWindow()->close();
    }

    // The link goes down: the tray icon, status bar panel 0, the online indicator's name and the popup's
    // title row say so, the entries keep their last values; a new connection takes it all back.
    void linkStateShowsEverywhere() {
        TempProgramFolder folder;
        auto ovsim = std::make_unique<OvsimProcess>();
        QVERIFY(ovsim->start());
        writeSettings(folder, ovsim->gatewayPort(), ovsim->webPort());
        folder.write(kMenuFileName, AnsiText::encode(kMenu));
        Program p(folder);
        QVERIFY(p.start());
        MainWindow *w = p.startup.mainWindow();
        auto *online = WidgetDriving::named<QLabel>(w, u"online"_qs);
        QMenu *popup = p.wiring.popup()->popupMenu();
        const auto trayShows = [&p](const QIcon &icon) {
            return p.platform.tray.icon.pixmap(16, 16).toImage() == icon.pixmap(16, 16).toImage();
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
        LinkTimings timings = fastTimings();
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
        QVERIFY(ovsim.start());
        writeSettings(folder, ovsim.gatewayPort(), ovsim.webPort());
        folder.write(kMenuFileName, AnsiText::encode(kMenu));
        Program p(folder);
        QVERIFY(p.start());
        MainWindow *w = p.startup.mainWindow();
        auto *btree = WidgetDriving::named<QTreeView>(w, u"btree"_qs);
        btree->setFocus();
        QTest::keySequence(btree, key);
        QMenu *popup = p.wiring.popup()->popupMenu();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->activeAction(), popup->actions().at(0));
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

QTEST_MAIN(TestProgram)
#include "tst_program.moc"

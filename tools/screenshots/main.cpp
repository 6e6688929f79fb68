// Makes the screenshots of the README, the metainfo and the help: the real program, composed as
// main.cpp composes it, against a prepared program folder and a running simulator. Each window and
// tab is opened through the actions a user triggers, and each picture is taken once what it shows
// has arrived (connected, catalogue loaded, page analysed). scripts/screenshots.sh runs it under Xvfb.
#include "AppCore.h"
#include "CatalogueController.h"
#include "ConsoleWindow.h"
#include "HeaderPanel.h"
#include "HistoryShots.h"
#include "ImageLists.h"
#include "IniFile.h"
#include "MainWindow.h"
#include "Platform.h"
#include "ProgramWiring.h"
#include "QtTranslations.h"
#include "Settings.h"
#include "ShotSequence.h"
#include "SplashWindow.h"
#include "Startup.h"
#include "StatusBar.h"
#include "TrayIcon.h"
#include "TrayPopup.h"
#include "UserInput.h"
#include "WorkArea.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QWindow>
#include <csignal>

using namespace UserInput;

namespace {

// The desktop's tray icon, passed through; it keeps the icon last set, which the tray shows.
class ObservedTray : public TrayIcon {
public:
    explicit ObservedTray(TrayIcon &tray) : m_tray(tray) {
        connect(&tray, &TrayIcon::doubleClicked, this, &TrayIcon::doubleClicked);
        connect(&tray, &TrayIcon::activated, this, &TrayIcon::activated);
    }
    bool isAvailable() const override { return m_tray.isAvailable(); }
    void show() override { m_tray.show(); }
    void hide() override { m_tray.hide(); }
    void setIcon(const QIcon &icon) override {
        m_icon = icon;
        m_tray.setIcon(icon);
    }
    void setHint(const QString &text) override { m_tray.setHint(text); }
    QString hint() const override { return m_tray.hint(); }
    void setPopup(QMenu *menu) override { m_tray.setPopup(menu); }
    void showBalloon(const QString &title, const QString &text, int timeoutMs) override {
        m_tray.showBalloon(title, text, timeoutMs);
    }
    const QIcon &icon() const { return m_icon; }

private:
    TrayIcon &m_tray;
    QIcon m_icon;
};

// Two tray icons side by side as a panel of the desktop shows them, each with its state below.
QPixmap traySideBySide(const QList<std::pair<QIcon, QString>> &icons) {
    constexpr int kIcon = 48;
    constexpr int kCell = 110;
    QPixmap picture(kCell * static_cast<int>(icons.size()), kIcon + 44);
    picture.fill(QApplication::palette().color(QPalette::Window));
    QPainter painter(&picture);
    for (int i = 0; i < icons.size(); ++i) {
        const QRect cell(i * kCell, 0, kCell, picture.height());
        icons[i].first.paint(&painter, QRect(cell.center().x() - kIcon / 2, 8, kIcon, kIcon));
        painter.drawText(QRect(cell.x(), kIcon + 14, kCell, 24), Qt::AlignCenter, icons[i].second);
    }
    return picture;
}

template <typename W> W *named(const QObject *root, const char *name) {
    W *widget = root ? root->findChild<W *>(QLatin1String(name)) : nullptr;
    if (!widget)
        qFatal("screenshots: no widget %s", name);
    return widget;
}

// A step that a user could not do as planned ends the run: the pictures would show something else.
void require(bool done, const QString &what) {
    if (!done)
        qFatal("screenshots: could not %s", qPrintable(what));
}

void drop(QTreeView *ovtree, const QString &ga, const QString &target) {
    require(dropByKeyboard(ovtree, ga, target), QStringLiteral("put %1 on \"%2\"").arg(ga, target));
}

void pick(QComboBox *box, const QString &text) {
    require(choose(box, text), QStringLiteral("choose \"%1\"").arg(text));
}

bool shownOnScreen(const QWidget *w) {
    return w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
}

// The whole program, composed as main.cpp does, with the tray observed.
struct Program {
    Program(const QString &folder, Platform &platform)
        : tray(*platform.services().tray),
          core(ProgramPaths(folder), services(platform), QDir(folder).filePath(QStringLiteral("help/quendra.html"))),
          wiring(core), startup(core) {}

    PlatformServices services(Platform &platform) {
        PlatformServices s = platform.services();
        s.tray = &tray;
        return s;
    }
    MainWindow *window() const { return startup.mainWindow(); }
    QString statusText() const { return window()->statusBar1()->panelText(0); }
    void trigger(const char *action) const {
        if (auto *a = named<QAction>(window(), action))
            a->trigger();
    }
    QTreeView *ovtree() const { return named<QTreeView>(window(), "ovtree"); }
    QWidget *child(const char *name) const { return named<QWidget>(window(), name); }
    void click(const QObject *root, const char *button) const {
        if (auto *b = named<QAbstractButton>(root, button))
            b->click();
    }
    void showTab(const char *panel) const { showTabOf(window()->workTabs(), child(panel)); }
    // The tray popup, opened with the context-menu key on the "Menü" tab's list.
    QMenu *openPopupByKeyboard() const {
        auto *btree = named<QWidget>(window(), "btree");
        btree->setFocus();
        pressKey(btree, Qt::Key_Menu);
        return wiring.popup()->popupMenu();
    }
    bool connected() {
        return startup.isFinished() && wiring.link()->link().isConnected() &&
               statusText().startsWith(QStringLiteral("Mit OV verbunden"));
    }

    ObservedTray tray;
    AppCore core;
    ProgramWiring wiring;
    Startup startup;
};

// A first start: no settings file yet.
void firstRunScene(Program &p, ShotSequence &shots) {
    shots.step(
        QStringLiteral("window shown"), [&p] { return p.startup.isFinished() && shownOnScreen(p.window()); },
        [&p, &shots] { shots.grab(QStringLiteral("first-run.png"), p.window()); });
}

// The Webchecker's whole flow on the simulator's weather page, host with its port: New, load,
// analyse, define the temperature, Save, Export, and the check of the import file.
void webCheckerScene(Program &p, ShotSequence &shots, const QString &webHost, const QString &webPort) {
    auto checker = [&p] {
        return p.window()->findChild<QWidget *>(QStringLiteral("TForm4"));
    };
    auto checkerTabs = [checker] {
        return named<QTabWidget>(checker(), "tabs");
    };
    shots.step(QStringLiteral("Webchecker"), [&p] { p.trigger("Webchecker"); });
    shots.step(
        QStringLiteral("Webchecker shown"), [checker] { return shownOnScreen(checker()); },
        [&p, &shots, checker, webHost, webPort] {
            p.click(checker(), "neubtn");
            retype(named<QLineEdit>(checker(), "WABez"), QStringLiteral("Wetter"));
            retype(named<QLineEdit>(checker(), "WAHOST"), webHost);
            retype(named<QLineEdit>(checker(), "WAPORT"), webPort);
            retype(named<QLineEdit>(checker(), "WASITE"), QStringLiteral("/wetter.html"));
            shots.grab(QStringLiteral("webchecker-daten.png"), checker());
            p.click(checker(), "gobrowser");
        });
    shots.step(
        QStringLiteral("page loaded"), [checker] { return named<QWidget>(checker(), "analysebtn")->isEnabled(); },
        [&p, checker] { p.click(checker(), "analysebtn"); });
    auto rows = [checker] {
        return named<QTreeView>(checker(), "Liste")->model();
    };
    shots.step(
        QStringLiteral("page analysed"),
        [checker, rows] {
            return named<QLabel>(checker(), "statustext")->text() == QStringLiteral("Fertig!") &&
                   rows()->rowCount() > 0 && named<QWidget>(checker(), "analysebtn")->isEnabled();
        },
        [&shots, checker, rows] {
            shots.grab(QStringLiteral("webchecker-browser.png"), checker());
            // The temperature's check box: its definition opens on the tab "Neu".
            const QModelIndexList found =
                rows()->match(rows()->index(0, 0), Qt::DisplayRole, QStringLiteral("21,5"), 1, Qt::MatchStartsWith);
            require(!found.isEmpty() && rows()->setData(found.first(), Qt::Checked, Qt::CheckStateRole),
                    QStringLiteral("tick the temperature"));
        });
    shots.step(
        QStringLiteral("tab Neu"),
        [checkerTabs] { return checkerTabs()->currentWidget()->objectName() == QStringLiteral("neutab"); },
        [&p, &shots, checker, webHost] {
            retype(named<QLineEdit>(checker(), "kobez"), QStringLiteral("Temperatur"));
            pick(named<QComboBox>(checker(), "kotyp"), QStringLiteral("EIS5_16BIT"));
            shots.grab(QStringLiteral("webchecker-neu.png"), checker());
            p.click(checker(), "addKO");
            p.click(checker(), "okbtn");
            // Saved under a name that holds the port, then exported from the list of saved projects.
            p.click(checker(), "savebtn");
            auto *projects = named<QListWidget>(checker(), "projektliste");
            const auto saved = projects->findItems(
                QStringLiteral("Wetter-%1-qnd.ovw").arg(QString(webHost).replace(u':', u'_')), Qt::MatchExactly);
            require(saved.size() == 1, QStringLiteral("find the saved project"));
            projects->setCurrentItem(saved.first());
            p.click(checker(), "exportbtn");
        });
    shots.step(
        QStringLiteral("exported"),
        [checker] { return named<QLabel>(checker(), "exportlb")->text() == QStringLiteral("Fertig!"); },
        [checker, checkerTabs] { checkerTabs()->setCurrentWidget(named<QWidget>(checker(), "prueftab")); });
    // The import file in the program folder, once the file list has read the folder.
    auto importFile = [checker] {
        auto *files = named<QListView>(checker(), "TeShellListView1");
        const QModelIndex folder = files->rootIndex();
        for (int row = 0; files->model() && row < files->model()->rowCount(folder); ++row) {
            const QModelIndex file = files->model()->index(row, 0, folder);
            if (file.data().toString() == QStringLiteral("Wetter-qnd.htip"))
                return file;
        }
        return QModelIndex();
    };
    shots.step(
        QStringLiteral("import file listed"), [importFile] { return importFile().isValid(); },
        [&p, checker, importFile] {
            named<QListView>(checker(), "TeShellListView1")->setCurrentIndex(importFile());
            p.click(checker(), "pruefbtn");
        });
    shots.step(
        QStringLiteral("import file checked"),
        [checker] {
            return named<QLabel>(checker(), "pruefstatus")->text().startsWith(QStringLiteral("Fertig!")) &&
                   named<QTreeWidget>(checker(), "waliste")->topLevelItemCount() > 0;
        },
        [&shots, checker] {
            // The program folder on top: the folders above it are not the program's.
            auto *folders = named<QTreeView>(checker(), "TeShellTreeView1");
            folders->scrollTo(folders->currentIndex(), QAbstractItemView::PositionAtTop);
            shots.grab(QStringLiteral("webchecker-pruefen.png"), checker());
            checker()->close();
        });
}

// The demo: the menu, the catalogue, every tab and tool window, then the server gone.
void demoScene(Program &p, ShotSequence &shots, pid_t server) {
    const QString webPort =
        IniFile(p.core.paths().settingsFile()).readString(Settings::kSection, Settings::Key::TCPPort);
    const QString webHost = QStringLiteral("127.0.0.1:") + webPort;
    auto catalogueLoaded = std::make_shared<bool>(false);
    auto popup = std::make_shared<QMenu *>(nullptr);
    auto onlineIcon = std::make_shared<QIcon>();

    shots.step(QStringLiteral("splash"),
               [&p, &shots] { shots.grab(QStringLiteral("splash.png"), p.startup.splash()); });
    shots.step(
        QStringLiteral("connection"), [&p] { return p.connected() && shownOnScreen(p.window()); },
        [&p, catalogueLoaded, onlineIcon] {
            *onlineIcon = p.tray.icon();
            QObject::connect(p.wiring.catalogue(), &CatalogueController::loadFinished,
                             [catalogueLoaded] { *catalogueLoaded = true; });
            p.click(p.window(), "OVxmlLoadbtn");
        });
    shots.step(
        QStringLiteral("catalogue"), [catalogueLoaded, &p] { return *catalogueLoaded && p.wiring.catalogue()->tree(); },
        [&p, &shots] {
            p.showTab("menuEditor");
            p.ovtree()->expand(p.ovtree()->model()->index(0, 0));
            p.click(p.window(), "showbusmoni");
            shots.grab(QStringLiteral("connected.png"), p.window());
        });
    shots.step(QStringLiteral("bus monitor shown"), [&p, popup] { *popup = p.openPopupByKeyboard(); });
    shots.step(
        QStringLiteral("popup by keyboard"), [popup] { return shownOnScreen(*popup); },
        [&p, &shots, popup] {
            shots.grabScreen(QStringLiteral("popup-keyboard.png"), {p.window(), *popup});
            (*popup)->hide();
            p.click(p.window(), "showbusmoni");
        });

    shots.step(QStringLiteral("menu editor"), [&p, &shots] {
        drop(p.ovtree(), QStringLiteral("0/3/0"), QStringLiteral("Menü"));
        pick(named<QComboBox>(p.window(), "Typ1"), QStringLiteral("Dimmer (Wertgeber)"));
        pick(named<QComboBox>(p.window(), "Aktion1"), QStringLiteral("Frei"));
        retype(named<QLineEdit>(p.window(), "xwert"), QStringLiteral("55"));
        pick(named<QComboBox>(p.window(), "Symbol1"), QStringLiteral("Dimmer"));
    });
    shots.step(
        QStringLiteral("parameter panel"), [&p] { return p.child("parapanel")->isVisible(); },
        [&p, &shots] {
            shots.grab(QStringLiteral("menu-editor.png"), p.window());
            p.click(p.window(), "zurueckbtn");
        });

    shots.step(QStringLiteral("Load & Replace"), [&p, &shots, webHost] {
        p.showTab("loadReplaceEditor");
        drop(p.ovtree(), QStringLiteral("0/7/0"), QStringLiteral("Load & Replace"));
        retype(named<QLineEdit>(p.window(), "LRHOST"), QStringLiteral("http://%1/camera?bild=").arg(webHost));
        retype(named<QLineEdit>(p.window(), "LRSPEICHERORT"), QStringLiteral("/tmp/kamera.svg"));
        shots.grab(QStringLiteral("load-replace.png"), p.window());
        p.click(p.window(), "lrzurueckbtn");
    });

    shots.step(QStringLiteral("Email"), [&p, &shots] {
        p.showTab("mailPanel");
        p.click(p.window(), "eneu");
        retype(named<QLineEdit>(p.window(), "SERVER"), QStringLiteral("pop.example.de"));
        retype(named<QLineEdit>(p.window(), "PORT"), QStringLiteral("110"));
        retype(named<QLineEdit>(p.window(), "LOGIN"), QStringLiteral("anna"));
        named<QCheckBox>(p.window(), "ABRUF")->setChecked(true);
        const std::pair<const char *, const char *> targets[] = {{"34/1/114", "Anzahl der Emails"},
                                                                 {"34/1/115", "Absender"},
                                                                 {"34/1/116", "Betreff"},
                                                                 {"34/1/117", "Datum/Uhrzeit"}};
        for (const auto &[ga, target] : targets)
            drop(p.ovtree(), QLatin1String(ga), QString::fromUtf8(target));
        shots.grab(QStringLiteral("email.png"), p.window());
        p.click(p.window(), "ezurueckbtn");
    });

    shots.step(QStringLiteral("System"), [&p, &shots] {
        p.showTab("screenSaverPanel");
        drop(p.ovtree(), QStringLiteral("34/1/120"), QStringLiteral("KO für Bildschirmschoner"));
        shots.grab(QStringLiteral("system.png"), p.window());
        p.showTab("menuEditor");
    });

    shots.step(QStringLiteral("console"), [&p] { p.trigger("Console"); });
    shots.step(
        QStringLiteral("console shown"), [&p] { return shownOnScreen(p.wiring.console()->window()); },
        [&p, &shots] {
            QWidget *console = p.wiring.console()->window();
            auto *conso = named<QWidget>(console, "conso");
            conso->setFocus();
            type(conso, QStringLiteral("0/0/1\n768\n"));
            shots.grab(QStringLiteral("console.png"), console);
            console->close();
        });

    auto wildcards = [&p] {
        return p.window()->findChild<QWidget *>(QStringLiteral("TForm5"));
    };
    shots.step(QStringLiteral("wildcard texts"), [&p] { p.trigger("menukonfig"); });
    shots.step(
        QStringLiteral("wildcard texts shown"), [wildcards] { return shownOnScreen(wildcards()); },
        [&p, &shots, wildcards] {
            shots.grab(QStringLiteral("einstellungen.png"), wildcards());
            p.click(wildcards(), "TeButton1");
        });

    // The help window, at the main window's section: it shows the pictures the build put beside it.
    auto help = [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QStringLiteral("helpWindow"))
                return w;
        }
        return static_cast<QWidget *>(nullptr);
    };
    shots.step(QStringLiteral("help"), [&p] { p.trigger("Hilfe"); });
    shots.step(
        QStringLiteral("help shown"), [help] { return shownOnScreen(help()); },
        [&shots, help] {
            help()->findChild<QTextBrowser *>()->scrollToAnchor(QStringLiteral("hauptfenster"));
            shots.grab(QStringLiteral("hilfe.png"), help());
            help()->close();
        });

    webCheckerScene(p, shots, webHost, webPort);

    // The server goes away: the window, the popup and the tray icon say so.
    shots.step(QStringLiteral("server stopped"), [server] { ::kill(server, SIGTERM); });
    shots.step(
        QStringLiteral("offline"),
        [&p] {
            return p.statusText() == QStringLiteral("OV offline") &&
                   p.window()->settingsHeader()->caption().endsWith(QStringLiteral(" - offline"));
        },
        [&p, &shots, popup] {
            p.ovtree()->collapseAll();
            shots.grab(QStringLiteral("offline.png"), p.window());
            *popup = p.openPopupByKeyboard();
        });
    shots.step(
        QStringLiteral("offline popup"), [popup] { return shownOnScreen(*popup); },
        [&p, &shots, popup, onlineIcon] {
            shots.grabScreen(QStringLiteral("popup-offline.png"), {p.window(), *popup});
            (*popup)->hide();
            shots.save(QStringLiteral("tray-states.png"), traySideBySide({{*onlineIcon, QStringLiteral("verbunden")},
                                                                          {p.tray.icon(), QStringLiteral("offline")}}));
        });

    // The history, with the link lost among its events.
    historyShots(shots, p.wiring, [&p] { return p.window(); });
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendra"));
    QtTranslations translations(QLocale(QLocale::German, QLocale::Germany));
    QApplication::setWindowIcon(ImageLists::applicationIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Takes the screenshots of the program."));
    parser.addHelpOption();
    const QCommandLineOption folderOption(QStringLiteral("folder"), QStringLiteral("Program folder."),
                                          QStringLiteral("folder"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder for the PNG files."),
                                       QStringLiteral("folder"));
    const QCommandLineOption serverOption(QStringLiteral("server-pid"),
                                          QStringLiteral("The simulator's process, stopped for the offline "
                                                         "pictures; without it: the first start."),
                                          QStringLiteral("pid"));
    parser.addOptions({folderOption, outOption, serverOption});
    parser.process(app);
    if (!parser.isSet(folderOption) || !parser.isSet(outOption))
        parser.showHelp(2);

    QString folder = QDir(parser.value(folderOption)).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const std::unique_ptr<Platform> platform = createPlatform();
    Program program(folder, *platform);
    ShotSequence shots(parser.value(outOption));
    if (parser.isSet(serverOption))
        demoScene(program, shots, static_cast<pid_t>(parser.value(serverOption).toInt()));
    else
        firstRunScene(program, shots);

    int exitCode = 0;
    QObject::connect(&shots, &ShotSequence::finished, [&](bool ok) {
        exitCode = ok ? 0 : 1;
        if (program.window() && !program.window()->isClosed())
            program.window()->close();
        QCoreApplication::quit();
    });
    program.startup.run();
    shots.start();
    app.exec();
    return exitCode;
}

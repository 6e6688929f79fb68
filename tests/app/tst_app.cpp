#include "AppCore.h"
#include "CommandLine.h"
#include "ConfigHome.h"
#include "FakeBrowserHost.h"
#include "FakePlatform.h"
#include "FileMessages.h"
#include "HeaderPanel.h"
#include "IniFile.h"
#include "LinkView.h"
#include "LoopbackHttpServer.h"
#include "MainWindow.h"
#include "MenuFile.h"
#include "PrivateSessionBus.h"
#include "ProgramWiring.h"
#include "QtTranslations.h"
#include "SettingsPanel.h"
#include "SplashWindow.h"
#include "Startup.h"
#include "StatusBar.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"
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
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>

#include <csignal>
#include <optional>

namespace {
const QString kHelpFile = QStringLiteral(QUENDRA_SOURCE_DIR "/resources/help/quendra.html");

// Readable and writable by its owner alone (the "User" bits only repeat the owner's for us).
bool ownerOnly(const QString &path) {
    const QFileDevice::Permissions user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    return (QFile::permissions(path) & ~user) == (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The lines of a file, whichever line ends it has (a new file gets CR LF).
QList<QByteArray> lines(const QByteArray &content) {
    QList<QByteArray> result = content.split('\n');
    for (QByteArray &line : result)
        if (line.endsWith('\r'))
            line.chop(1);
    return result;
}

// One program folder, the fakes and the real start-up with the real main window.
struct Harness {
    explicit Harness(const QByteArray &settings = {}, const QString &helpFile = kHelpFile,
                     Autostart *autostart = nullptr)
        : core(folder.paths(), services(autostart), helpFile), startup(core) {
        if (!settings.isNull())
            folder.write(QStringLiteral("quendra.ini"), settings);
        // The checker's browser without a browser engine.
        core.browsers = [] {
            return std::make_unique<FakeBrowserHost>();
        };
    }

    // The program's own wiring of the subsystems, as main() builds it; without timings with the
    // program's defaults.
    void wire(std::optional<LinkTimings> timings = std::nullopt) {
        wiring = timings ? std::make_unique<ProgramWiring>(core, *timings) : std::make_unique<ProgramWiring>(core);
    }

    PlatformServices services(Autostart *autostart) {
        PlatformServices s = platform.services();
        if (autostart)
            s.autostart = autostart;
        return s;
    }

    // Every hook writes what it was called with into the log.
    void recordHooks() {
        AppHooks &h = core.hooks;
        h.loadMenu = [this](const QString &f) {
            log.append(u"loadMenu "_qs + f);
            return notice;
        };
        h.loadLoadReplace = [this](const QString &f) {
            log.append(u"loadLoadReplace "_qs + f);
        };
        h.loadMail = [this](const QString &f) {
            log.append(u"loadMail "_qs + f);
        };
        h.startPolling = [this] {
            log.append(u"startPolling"_qs);
        };
        h.disconnect = [this] {
            log.append(u"disconnect"_qs);
        };
        h.saveMenu = [this](const QString &f) {
            log.append(u"saveMenu "_qs + f);
            return saves;
        };
        h.saveLoadReplace = [this](const QString &f) {
            log.append(u"saveLoadReplace "_qs + f);
            return saves;
        };
        h.saveMail = [this](const QString &f) {
            log.append(u"saveMail "_qs + f);
            return saves;
        };
    }

    MainWindow *start() {
        startup.run();
        return startup.mainWindow();
    }
    MainWindow *window() const { return startup.mainWindow(); }
    SettingsPanel *panel() const { return window()->settingsPanel(); }
    template <typename T> T *find(const QString &name) const { return window()->findChild<T *>(name); }
    QList<QByteArray> settingsLines() const { return lines(folder.read(QStringLiteral("quendra.ini"))); }

    TempProgramFolder folder;
    FakePlatform platform;
    AppCore core;
    // Goes after the window (in startup), as in the program.
    std::unique_ptr<ProgramWiring> wiring;
    Startup startup;
    QStringList log;
    bool notice = false;
    bool saves = true; // what the recorded save hooks answer
};

// One menu entry bound to GAN 5 with the given notification switches and last value.
QByteArray menuEntry(const QString &text, const QString &lv, bool balloon, bool msg) {
    const auto truth = [](bool on) {
        return on ? QByteArray("True") : QByteArray("False");
    };
    return "[0]\nBezeichnung=" + text.toLatin1() +
           "\nSymbol=0\nTyp=Wert lesen\nAktion=lesen\nWert=\nGAN=5\nLV=" + lv.toLatin1() +
           "\nBalloon=" + truth(balloon) + "\nMsg=" + truth(msg) + "\nSound=False\nSoundname=\n";
}

// The texts of a menu's items.
QStringList itemTexts(const QMenu *menu) {
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->text());
    return texts;
}

// The popup while no server is connected (as in these tests): its title row says so above the entries.
QStringList offlinePopup(const QStringList &entries) {
    return QStringList{TrayPopup::kOfflineTitle, QString()} + entries;
}

// A portable installation of the real program: the program, its help and "quendra.ini" in one
// folder, run headless with an autostart folder of its own.
struct PortableProgram {
    ~PortableProgram() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    bool install(const QByteArray &settings, bool withHelp = true) {
        return QFile::copy(QStringLiteral(QUENDRA_BINARY), folder.file(u"quendra"_qs)) &&
               (!withHelp ||
                (QDir().mkpath(folder.file(u"help"_qs)) && QFile::copy(QStringLiteral(QUENDRA_HELP_DIR "/quendra.html"),
                                                                       folder.file(u"help/quendra.html"_qs)))) &&
               folder.write(u"quendra.ini"_qs, settings);
    }
    // Whether the running program has its own handler for the signal (the kernel's list of caught
    // signals); before that a signal would kill it.
    bool catches(int signalNumber) const {
        QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
        return false;
    }
    bool start() {
        // A session of its own: on the desktop's bus a running Quendra would take this start's place.
        if (!bus.start())
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        env.insert(u"XDG_CONFIG_HOME"_qs, config.path());
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs, bus.address());
        process.setProcessEnvironment(env);
        process.start(folder.file(u"quendra"_qs), {});
        return process.waitForStarted();
    }
    // Sends the signal; true when the program then ends by itself, normally and with code 0.
    bool endsCleanlyOn(int signalNumber) {
        QSignalSpy finished(&process, &QProcess::finished);
        ::kill(pid_t(process.processId()), signalNumber);
        return finished.wait(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    QList<QByteArray> settingsLines() const { return lines(folder.read(u"quendra.ini"_qs)); }

    PrivateSessionBus bus;
    TempProgramFolder folder;
    QTemporaryDir config;
    QProcess process;
};

// The user leaves the edit with the tab key.
void leave(QWidget *edit) {
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &event);
}

// What a control shows: an edit's text, "1"/"0" for a check box.
QString shown(QWidget *control) {
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *box = qobject_cast<QCheckBox *>(control))
        return box->isChecked() ? u"1"_qs : u"0"_qs;
    return {};
}

} // namespace

class TestApp : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsDefaultsAndWritesAllKeysInOrder() {
        Harness h;
        h.recordHooks();
        bool settingsBeforeMenu = false;
        h.core.hooks.saveMenu = [&](const QString &) {
            settingsBeforeMenu = QFile::exists(h.folder.settingsFile());
            return true;
        };
        MainWindow *w = h.start();
        QVERIFY(h.startup.isFinished());
        QCOMPARE(h.find<QLineEdit>(u"OVIP"_qs)->text(), u"0.0.0.0"_qs);
        QCOMPARE(h.find<QLineEdit>(u"OVPORT"_qs)->text(), u"0"_qs);
        QCOMPARE(h.find<QLineEdit>(u"OVMPORT"_qs)->text(), u"0"_qs);
        QCOMPARE(h.find<QLineEdit>(u"OVPFAD"_qs)->text(), h.folder.path());
        QCOMPARE(h.core.wildcardTexts(), WildcardTexts());
        QVERIFY(h.platform.dialogs.boxes.isEmpty());
        QVERIFY(!QFile::exists(h.folder.settingsFile()));

        w->close();
        // The program folder is stored as an empty "Pfad": the setting follows the program.
        const QList<QByteArray> expected = {"[Orvanel]",   "IP=0.0.0.0",        "TCPPort=0", "Port=0", "Key=",
                                            "Minimized=0", "Bubble=0",          "Auto=0",    "Pfad=",  "Mail=0",
                                            "Mailtime=5",  "Screen=Drag&&Drop", "Offline=0", ""};
        QCOMPARE(h.settingsLines(), expected);
        // A new file has Windows line ends, so it moves between installations byte for byte.
        QCOMPARE(h.folder.read(u"quendra.ini"_qs), expected.join("\r\n"));
        QVERIFY(ownerOnly(h.folder.settingsFile()));
        QVERIFY(settingsBeforeMenu);
    }

    void readsAndWritesBack_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QByteArray>("writtenLine"); // as the file holds it after closing

        QTest::newRow("Minimized=yes reads as false")
            << QByteArray("[Orvanel]\nMinimized=yes\n") << u"OVMINI"_qs << u"0"_qs << QByteArray("Minimized=0");
        QTest::newRow("Minimized=2 reads as true")
            << QByteArray("[Orvanel]\nMinimized=2\n") << u"OVMINI"_qs << u"1"_qs << QByteArray("Minimized=1");
        QTest::newRow("Port=abc reads as 0")
            << QByteArray("[Orvanel]\nPort=abc\n") << u"OVPORT"_qs << u"0"_qs << QByteArray("Port=0");
        QTest::newRow("TCPPort") << QByteArray("[Orvanel]\nTCPPort=80\n") << u"OVMPORT"_qs << u"80"_qs
                                 << QByteArray("TCPPort=80");
        QTest::newRow("names without regard to case") << QByteArray("[ORVANEL]\nip=192.168.1.25\n") << u"OVIP"_qs
                                                      << u"192.168.1.25"_qs << QByteArray("ip=192.168.1.25");
        QTest::newRow("Bubble") << QByteArray("[Orvanel]\nBubble=1\n") << u"OVBUBBLE"_qs << u"1"_qs
                                << QByteArray("Bubble=1");
        QTest::newRow("Offline") << QByteArray("[Orvanel]\nOffline=-1\n") << u"OVOFFLINE"_qs << u"1"_qs
                                 << QByteArray("Offline=1");
        QTest::newRow("Windows-1252 key") << QByteArray("[Orvanel]\nKey=Schl\xfcssel \x80\n") << u"OVKEY"_qs
                                          << u"Schlüssel €"_qs << QByteArray("Key=Schl\xfcssel \x80");
        QTest::newRow("Pfad with separator") << QByteArray("[Orvanel]\nPfad=/srv/quendra/\n") << u"OVPFAD"_qs
                                             << u"/srv/quendra/"_qs << QByteArray("Pfad=/srv/quendra/");
        QTest::newRow("Pfad without separator") << QByteArray("[Orvanel]\nPfad=/srv/quendra\n") << u"OVPFAD"_qs
                                                << u"/srv/quendra/"_qs << QByteArray("Pfad=/srv/quendra/");
        QTest::newRow("Pfad typed the Windows way") << QByteArray("[Orvanel]\nPfad=C:\\Daten\\\n") << u"OVPFAD"_qs
                                                    << u"C:\\Daten\\"_qs << QByteArray("Pfad=C:\\Daten\\");
        const QByteArray longValue(5000, 'x');
        QTest::newRow("very long value") << QByteArray("[Orvanel]\nIP=" + longValue + "\n") << u"OVIP"_qs
                                         << QString::fromLatin1(longValue) << QByteArray("IP=" + longValue);
        QTest::newRow("garbage around a key")
            << QByteArray("\x01\xff garbage\n[Orvanel\n=no key\nPort=4711\n;Port=1\n[\n]]]\nnonsense line\n")
            << u"OVPORT"_qs << u"4711"_qs << QByteArray("Port=4711");
        QTest::newRow("missing section") << QByteArray("[Other]\nIP=10.0.0.1\n") << u"OVIP"_qs << u"0.0.0.0"_qs
                                         << QByteArray("IP=0.0.0.0");
        QTest::newRow("number out of range")
            << QByteArray("[Orvanel]\nTCPPort=99999999999999\n") << u"OVMPORT"_qs << u"0"_qs << QByteArray("TCPPort=0");
    }
    void readsAndWritesBack() {
        QFETCH(QByteArray, file);
        QFETCH(QString, control);
        QFETCH(QString, expected);
        QFETCH(QByteArray, writtenLine);
        Harness h(file);
        MainWindow *w = h.start();
        QCOMPARE(shown(h.find<QWidget>(control)), expected);
        QVERIFY(h.platform.dialogs.boxes.isEmpty());

        w->close();
        const QList<QByteArray> lines = h.settingsLines();
        QVERIFY2(lines.contains(writtenLine), lines.join('\n').left(2000).constData());
        // All twelve keys are there and readable again, whatever the file held before.
        const IniFile reread(h.folder.settingsFile());
        for (const QString &key : {u"IP"_qs, u"Port"_qs, u"TCPPort"_qs, u"Key"_qs, u"Minimized"_qs, u"Bubble"_qs,
                                   u"Auto"_qs, u"Pfad"_qs, u"Mail"_qs, u"Mailtime"_qs, u"Screen"_qs, u"Offline"_qs})
            QVERIFY2(reread.hasKey(u"Orvanel"_qs, key), qPrintable(key));
    }

    void closingAgainLeavesTheFileAsItWas() {
        Harness first;
        first.start()->close();
        const QByteArray written = first.folder.read(u"quendra.ini"_qs);
        Harness second(written);
        second.start()->close();
        QCOMPARE(second.folder.read(u"quendra.ini"_qs), written);
    }

    void wildcardTextsAreReadAtStart() {
        Harness h("[TEXTE]\nWC1A=offen\nWC3B=\n");
        h.start();
        WildcardTexts expected;
        expected.wc1a = u"offen"_qs;
        expected.wc3b = QString();
        QCOMPARE(h.core.wildcardTexts(), expected);
    }

    void mailtimeNotAWholeNumberFallsBackToFive() {
        Harness h("[Orvanel]\nMail=1\nMailtime=abc\nScreen=Flur Licht\n");
        QSignalSpy mail(&h.core.tabSettings(), &TabSettings::mailChanged);
        MainWindow *w = h.start();
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Error),
                 QStringList{u"'abc' ist kein gültiger Integerwert."_qs});
        QCOMPARE(h.core.tabSettings().mailtime(), u"5"_qs);
        QCOMPARE(h.core.tabSettings().screen(), u"Flur Licht"_qs);
        QCOMPARE(mail.count(), 1);
        // The creation went on to its end.
        QVERIFY(h.startup.isFinished());
        QCOMPARE(w->windowTitle(), w->versionCaption());
    }

    void editExitStoresItsKey_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shownAfter");
        QTest::addColumn<QByteArray>("fileAfter"); // the line of [Orvanel] after leaving the edit
        QTest::addColumn<QString>("error");

        const QString bad = u"'abc' ist kein gültiger Integerwert."_qs;
        QTest::newRow("OVIP") << u"OVIP"_qs << u"10.0.0.7"_qs << u"10.0.0.7"_qs << QByteArray("IP=10.0.0.7")
                              << QString();
        QTest::newRow("OVPORT") << u"OVPORT"_qs << u"8080"_qs << u"8080"_qs << QByteArray("Port=8080") << QString();
        QTest::newRow("OVPORT no number") << u"OVPORT"_qs << u"abc"_qs << u"abc"_qs << QByteArray("Port=4711") << bad;
        QTest::newRow("OVMPORT") << u"OVMPORT"_qs << u"80"_qs << u"80"_qs << QByteArray("TCPPort=80") << QString();
        QTest::newRow("OVMPORT no number")
            << u"OVMPORT"_qs << u"abc"_qs << u"abc"_qs << QByteArray("TCPPort=81") << bad;
        QTest::newRow("OVKEY") << u"OVKEY"_qs << u"geheim"_qs << u"geheim"_qs << QByteArray("Key=geheim") << QString();
        QTest::newRow("OVPFAD without separator") << u"OVPFAD"_qs << u"/home/u/Daten"_qs << u"/home/u/Daten/"_qs
                                                  << QByteArray("Pfad=/home/u/Daten/") << QString();
        QTest::newRow("OVPFAD with separator") << u"OVPFAD"_qs << u"/home/u/Daten/"_qs << u"/home/u/Daten/"_qs
                                               << QByteArray("Pfad=/home/u/Daten/") << QString();
        QTest::newRow("OVPFAD with backslash")
            << u"OVPFAD"_qs << u"C:\\Daten\\"_qs << u"C:\\Daten\\"_qs << QByteArray("Pfad=C:\\Daten\\") << QString();
    }
    void editExitStoresItsKey() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, shownAfter);
        QFETCH(QByteArray, fileAfter);
        QFETCH(QString, error);
        Harness h("[Orvanel]\nPort=4711\nTCPPort=81\n[TEXTE]\nWC1A=offen\n");
        h.start();
        auto *edit = h.find<QLineEdit>(control);
        edit->setText(typed);
        leave(edit);

        QCOMPARE(edit->text(), shownAfter);
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Error),
                 error.isEmpty() ? QStringList() : QStringList{error});
        const QList<QByteArray> lines = h.settingsLines();
        QVERIFY2(lines.contains(fileAfter), lines.join('\n').constData());
        QVERIFY(lines.contains("WC1A=offen"));
        if (error.isEmpty())
            QVERIFY(ownerOnly(h.folder.settingsFile()));
    }

    void folderTypedButNotLeftIsStillAFolder() {
        Harness h;
        h.recordHooks();
        MainWindow *w = h.start();
        h.log.clear();
        // Typed, and the window closed before the edit was left.
        h.find<QLineEdit>(u"OVPFAD"_qs)->setText(u"/srv/menus"_qs);
        w->close();
        QCOMPARE(h.log, (QStringList{u"disconnect"_qs, u"saveMenu /srv/menus/"_qs, u"saveLoadReplace /srv/menus/"_qs,
                                     u"saveMail /srv/menus/"_qs}));
        QVERIFY(h.settingsLines().contains("Pfad=/srv/menus/"));
    }

    void emptyFolderTextTakesTheProgramFolder() {
        Harness h;
        h.start();
        h.find<QLineEdit>(u"OVPFAD"_qs)->clear();
        leave(h.find<QLineEdit>(u"OVPFAD"_qs));
        QCOMPARE(h.find<QLineEdit>(u"OVPFAD"_qs)->text(), h.folder.path());
    }

    // "Pfad" never holds what the file cannot give back, and the user files find their folder.
    void configurationFolderRules_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("typed"); // null: nothing typed; "<program>": the program folder
        QTest::addColumn<QString>("shownAfter");
        QTest::addColumn<QByteArray>("storedLine");
        QTest::addColumn<QString>("filesFolder"); // where "Neu laden" looks
        QTest::addColumn<QString>("error");

        QTest::newRow("a folder Windows-1252 cannot hold is refused")
            << QByteArray("[Orvanel]\nPfad=/srv/alt/\n") << u"/home/łukasz/q"_qs << u"/srv/alt/"_qs
            << QByteArray("Pfad=/srv/alt/") << u"/srv/alt/"_qs
            << u"Der Pfad \"/home/łukasz/q/\" enthält Zeichen, die die Datei \"quendra.ini\" nicht speichern "
               "kann. Der bisherige Pfad bleibt eingestellt."_qs;
        QTest::newRow("the program folder is stored empty")
            << QByteArray("[Orvanel]\nPfad=/srv/alt/\n") << u"<program>"_qs << u"<program>"_qs << QByteArray("Pfad=")
            << u"<program>"_qs << QString();
        QTest::newRow("a stored trailing backslash is a separator")
            << QByteArray("[Orvanel]\nPfad=/srv/Daten\\\n") << QString() << u"/srv/Daten\\"_qs
            << QByteArray("Pfad=/srv/Daten\\") << u"/srv/Daten/"_qs << QString();
        QTest::newRow("a typed trailing backslash is a separator")
            << QByteArray("[Orvanel]\n") << u"/srv/Daten\\"_qs << u"/srv/Daten\\"_qs << QByteArray("Pfad=/srv/Daten\\")
            << u"/srv/Daten/"_qs << QString();
    }
    void configurationFolderRules() {
        QFETCH(QByteArray, file);
        QFETCH(QString, typed);
        QFETCH(QString, shownAfter);
        QFETCH(QByteArray, storedLine);
        QFETCH(QString, filesFolder);
        QFETCH(QString, error);
        Harness h(file);
        const auto in = [](const Harness &harness, QString text) {
            return text.replace(u"<program>"_qs, harness.folder.path());
        };
        const auto program = [&](const QString &text) {
            return in(h, text);
        };
        h.recordHooks();
        MainWindow *w = h.start();
        if (!typed.isNull()) {
            h.find<QLineEdit>(u"OVPFAD"_qs)->setText(program(typed));
            leave(h.find<QLineEdit>(u"OVPFAD"_qs));
        }
        QCOMPARE(h.find<QLineEdit>(u"OVPFAD"_qs)->text(), program(shownAfter));
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Error),
                 error.isEmpty() ? QStringList() : QStringList{error});
        h.log.clear();
        QTest::mouseClick(h.find<QPushButton>(u"menuladen"_qs), Qt::LeftButton);
        QCOMPARE(h.log, QStringList{u"loadMenu "_qs + program(filesFolder)});

        // Closing stores the same and saves the files where the next start will look.
        h.log.clear();
        w->close();
        QVERIFY2(h.settingsLines().contains(storedLine), h.settingsLines().join('\n').constData());
        QVERIFY(h.log.contains(u"saveMenu "_qs + program(filesFolder)));
        // An empty "Pfad" follows the program to its next folder.
        Harness next(h.folder.read(u"quendra.ini"_qs));
        next.recordHooks();
        next.start();
        QCOMPARE(next.find<QLineEdit>(u"OVPFAD"_qs)->text(), in(next, shownAfter));
        QVERIFY(next.log.contains(u"loadMenu "_qs + in(next, filesFolder)));
    }

    // A settings file that cannot be read is not written over; the error names it.
    void unreadableSettingsFileIsNotWrittenOver() {
        Harness h;
        QVERIFY(QDir().mkdir(h.folder.settingsFile()));
        MainWindow *w = h.start();
        h.find<QLineEdit>(u"OVIP"_qs)->setText(u"10.0.0.7"_qs);
        leave(h.find<QLineEdit>(u"OVIP"_qs));
        w->close();
        const QStringList errors = h.platform.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 3); // the start, leaving the edit, and closing
        for (qsizetype i = 0; i < errors.size(); ++i)
            QVERIFY2(errors.at(i).startsWith(u"Die Datei \""_qs + h.folder.settingsFile() + u"\" kann nicht "_qs +
                                             (i == 0 ? u"gelesen werden"_qs : u"geschrieben werden"_qs)),
                     qPrintable(errors.at(i)));
        QVERIFY(QFileInfo(h.folder.settingsFile()).isDir());
    }

    // A configuration folder that is not there is reported once, in the status bar and the bus
    // monitor; an existing one raises nothing.
    void missingConfigurationFolderIsReported_data() {
        QTest::addColumn<bool>("missing");
        QTest::newRow("missing") << true;
        QTest::newRow("there") << false;
    }
    void missingConfigurationFolderIsReported() {
        QFETCH(bool, missing);
        QTemporaryDir dir;
        const QString folder = dir.filePath(missing ? u"weg/"_qs : u""_qs);
        Harness h("[Orvanel]\nPfad=" + folder.toUtf8() + "\n");
        QStringList notes;
        h.core.hooks.busMonitorNote = [&notes](const QString &text) {
            notes.append(text);
        };
        h.start();
        const QStringList expected{u"Konfigurationsordner \""_qs + folder + u"\" nicht gefunden"_qs};
        QCOMPARE(notes, missing ? expected : QStringList());
        QCOMPARE(h.window()->statusBar1()->panelText(1), missing ? expected.first() : QString());
        QVERIFY(h.platform.dialogs.boxes.isEmpty());
        QCOMPARE(QFileInfo::exists(folder), !missing);
    }

    void badPortStillCompletesTheClosingSaves() {
        Harness h("[Orvanel]\nPort=4711\n");
        h.recordHooks();
        MainWindow *w = h.start();
        h.log.clear();
        h.find<QLineEdit>(u"OVPORT"_qs)->setText(u"abc"_qs);
        leave(h.find<QLineEdit>(u"OVPORT"_qs));
        w->close();

        const QString bad = u"'abc' ist kein gültiger Integerwert."_qs;
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Error), (QStringList{bad, bad}));
        QCOMPARE(h.find<QLineEdit>(u"OVPORT"_qs)->text(), u"abc"_qs);
        QVERIFY(h.settingsLines().contains("Port=4711"));
        const QString folder = h.folder.path();
        QCOMPARE(h.log, (QStringList{u"disconnect"_qs, u"saveMenu "_qs + folder, u"saveLoadReplace "_qs + folder,
                                     u"saveMail "_qs + folder}));
        QCOMPARE(h.platform.help.closeAllCalls, 1);
        QVERIFY(!h.platform.tray.shown);
    }

    // A settings file that cannot be read is said at start-up, like the menu and mail files, and
    // is not written over at the end, which says so too and ends with the failure's exit code.
    void unreadableSettingsAreReportedAtStartAndKept_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("a folder named quendra.ini") << true;
        QTest::newRow("larger than the read budget") << false;
    }
    void unreadableSettingsAreReportedAtStartAndKept() {
        QFETCH(bool, folder);
        QByteArray before;
        if (!folder) {
            before = "[Orvanel]\r\nIP=10.1.1.1\r\n[Fremd]\r\n";
            before.resize(IniFile::kMaxFileBytes + 1, ' ');
        }
        Harness h(before);
        const QString path = h.folder.settingsFile();
        if (folder)
            QVERIFY(QDir().mkdir(path));
        h.recordHooks();
        MainWindow *w = h.start();
        QVERIFY(h.startup.isFinished());
        const QStringList atStart = h.platform.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(atStart.size(), 1);
        QVERIFY2(atStart.first().startsWith(FileMessages::cannotRead(path, {}).chopped(1)),
                 qPrintable(atStart.first()));

        w->close();
        const QStringList errors = h.platform.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 2);
        QVERIFY2(errors.last().startsWith(FileMessages::cannotWrite(path, {}).chopped(1)), qPrintable(errors.last()));
        QVERIFY(w->closingSaveFailed());
        if (folder)
            QVERIFY(QFileInfo(path).isDir());
        else
            QVERIFY(h.folder.read(u"quendra.ini"_qs) == before); // QCOMPARE would print 16 MiB
        QCOMPARE(QDir(h.folder.path()).entryList({u"quendra.ini.*"_qs}, QDir::Files | QDir::Hidden), QStringList());
    }

    // Every closing save runs whatever the one before did; any failure sets the exit code.
    void aFailedClosingSaveSetsTheExitCode_data() {
        QTest::addColumn<bool>("saves");
        QTest::newRow("all saved") << true;
        QTest::newRow("the saves fail") << false;
    }
    void aFailedClosingSaveSetsTheExitCode() {
        QFETCH(bool, saves);
        Harness h;
        h.recordHooks();
        h.saves = saves;
        MainWindow *w = h.start();
        h.log.clear();
        w->close();
        const QString folder = h.folder.path();
        QCOMPARE(h.log, (QStringList{u"disconnect"_qs, u"saveMenu "_qs + folder, u"saveLoadReplace "_qs + folder,
                                     u"saveMail "_qs + folder}));
        QCOMPARE(w->closingSaveFailed(), !saves);
    }

    void unwritableSettingsFolderIsReported() {
        // A folder below a plain file can be created by no one, not even by root.
        QTemporaryDir base;
        QFile blocker(base.filePath(u"blocker"_qs));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        FakePlatform platform;
        AppCore core(ProgramPaths(base.filePath(u"blocker/quendra"_qs)), platform.services(), kHelpFile);
        QStringList saved;
        core.hooks.saveMenu = [&](const QString &) {
            saved.append(u"menu"_qs);
            return true;
        };
        Startup startup(core);
        startup.run();
        auto *ip = startup.mainWindow()->findChild<QLineEdit *>(u"OVIP"_qs);

        ip->setText(u"10.0.0.9"_qs);
        leave(ip);
        QCOMPARE(platform.dialogs.boxes.size(), 1);
        QVERIFY2(platform.dialogs.boxes[0].text.contains(core.paths().settingsFile()),
                 qPrintable(platform.dialogs.boxes[0].text));
        QCOMPARE(ip->text(), u"10.0.0.9"_qs);

        startup.mainWindow()->close();
        QCOMPARE(platform.dialogs.texts(FakeDialogs::Kind::Error).size(), 2);
        QCOMPARE(saved, QStringList{u"menu"_qs});
    }

    void busMonitorToggles_data() {
        QTest::addColumn<QString>("button");
        for (const char *name : {"showbusmoni", "showbusmoni2", "busmoni3", "TeButton2"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void busMonitorToggles() {
        QFETCH(QString, button);
        Harness h;
        MainWindow *w = h.start();
        QCOMPARE(w->width(), 561);
        auto *state = h.find<QPushButton>(u"showbusmoni"_qs);
        auto *pressed = h.find<QPushButton>(button);
        auto *column = h.find<QListView>(u"busmoni"_qs)->parentWidget();
        QVERIFY(!column->isVisible());

        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(state->text(), u"<<"_qs);
        QCOMPARE(state->toolTip(), u"Busmonitor ausblenden"_qs);
        // Screen readers say what the button does, not its arrows.
        QCOMPARE(state->accessibleName(), u"Busmonitor ausblenden"_qs);
        QCOMPARE(w->width(), 765);
        QVERIFY(column->isVisible());
        for (const char *other : {"showbusmoni2", "busmoni3", "TeButton2"}) {
            QCOMPARE(h.find<QPushButton>(QString::fromLatin1(other))->text(), u">>"_qs);
            QCOMPARE(h.find<QPushButton>(QString::fromLatin1(other))->accessibleName(), u"Busmonitor einblenden"_qs);
        }

        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(state->text(), u">>"_qs);
        QCOMPARE(state->toolTip(), u"Busmonitor anzeigen"_qs);
        QCOMPARE(state->accessibleName(), u"Busmonitor einblenden"_qs);
        QCOMPARE(w->width(), 561);
        QVERIFY(!column->isVisible());
    }

    void rollButtonSizesTheWorkArea_data() {
        QTest::addColumn<int>("presses");
        QTest::addColumn<bool>("rolled");
        QTest::addColumn<QList<int>>("heights"); // busmoni, parapanel2, ovtree
        QTest::addColumn<int>("loadxmlbarTop");
        QTest::newRow("rolled up") << 1 << true << QList<int>{555, 553, 552} << 595;
        QTest::newRow("expanded again") << 2 << false << QList<int>{420, 553, 417} << 460;
    }
    void rollButtonSizesTheWorkArea() {
        QFETCH(int, presses);
        QFETCH(bool, rolled);
        QFETCH(QList<int>, heights);
        QFETCH(int, loadxmlbarTop);
        Harness h;
        h.wire();
        MainWindow *w = h.start();
        const QSize before = w->size();
        QWidget *btree = h.find<QWidget>(u"btree"_qs);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const int treeBefore = btree->height();
        for (int i = 0; i < presses; ++i)
            QTest::mouseClick(h.find<QToolButton>(u"EinstellungenButton"_qs), Qt::LeftButton);

        QCOMPARE(w->settingsHeader()->isRolled(), rolled);
        QCOMPARE(h.panel()->isVisible(), !rolled);
        const auto actual = [&] {
            QList<int> result;
            for (const char *name : {"busmoni", "parapanel2", "ovtree"})
                result.append(h.find<QWidget>(QString::fromLatin1(name))->height());
            return result;
        };
        QTRY_COMPARE(actual(), heights);
        QCOMPARE(h.find<QProgressBar>(u"loadxmlbar"_qs)->y(), loadxmlbarTop);
        QCOMPARE(w->size(), before);
        // The menu editor lays itself out in its page: its tree takes the room the settings free.
        if (rolled)
            QTRY_VERIFY(btree->height() > treeBefore + 100);
        else
            QTRY_COMPARE(btree->height(), treeBefore);
        QVERIFY(h.find<QWidget>(u"showbusmoni"_qs)->isVisible());
    }

    void linkLooks() {
        Harness h("[Orvanel]\nIP=10.0.0.1\nPort=8080\n");
        MainWindow *w = h.start();
        LinkView &view = *w;
        QCOMPARE(w->settingsHeader()->caption(), u"Programmeinstellungen"_qs);
        QCOMPARE(view.hostText(), u"10.0.0.1"_qs);
        QCOMPARE(view.portText(), u"8080"_qs);
        QCOMPARE(h.find<QPushButton>(u"ovconnectbtn"_qs)->text(), u"connect"_qs);
        QVERIFY(!h.panel()->connectButtonShowsDisconnect());
        QVERIFY(h.find<QLabel>(u"online"_qs)->isHidden());

        view.setConnectButtonConnected(true);
        view.setOnlineIndicatorVisible(true);
        view.setHeaderOnline();
        view.setStatusText(u"Mit OV verbunden / 0 KO gefunden"_qs);
        view.rollUpSettings();
        QCOMPARE(h.find<QPushButton>(u"ovconnectbtn"_qs)->text(), u"disconnect"_qs);
        QVERIFY(h.panel()->connectButtonShowsDisconnect());
        QVERIFY(!h.find<QLabel>(u"online"_qs)->isHidden());
        QCOMPARE(w->settingsHeader()->caption(), u"Programmeinstellungen - Verbunden mit 10.0.0.1:8080"_qs);
        QCOMPARE(w->statusBar1()->panelText(0), u"Mit OV verbunden / 0 KO gefunden"_qs);
        QVERIFY(w->settingsHeader()->isRolled());
        QTRY_COMPARE(h.find<QListView>(u"busmoni"_qs)->height(), 555);

        view.setConnectButtonConnected(false);
        view.setHeaderOffline();
        QCOMPARE(h.find<QPushButton>(u"ovconnectbtn"_qs)->text(), u"connect"_qs);
        QCOMPARE(w->settingsHeader()->caption(), u"Programmeinstellungen - offline"_qs);

        QSignalSpy clicked(w, &MainWindow::connectButtonClicked);
        QTest::mouseClick(h.find<QPushButton>(u"ovconnectbtn"_qs), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    void startupRunsItsStepsInOrder() {
        Harness h;
        h.recordHooks();
        h.notice = true;
        std::function<void()> connectionDone;
        std::function<void(int)> progress;
        h.core.hooks.firstConnection = [&](std::function<void(int)> moveProgress, std::function<void()> done) {
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
        h.core.hooks.firstConnection = [&](std::function<void(int)>, std::function<void()> done) {
            connectionDone = std::move(done);
        };
        h.core.hooks.toolWindowsCreated = [&] {
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

    void tray_data() {
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<QString>("click"); // how the user asks for the window back
        QTest::newRow("desktop with a tray") << true << u"double click"_qs;
        QTest::newRow("desktop without a tray") << false << u"double click"_qs;
        // StatusNotifier hosts send one activation, no double click.
        QTest::newRow("tray host that activates") << true << u"single click"_qs;
        QTest::newRow("a click on a balloon") << true << u"balloon"_qs;
    }
    void tray() {
        QFETCH(bool, trayAvailable);
        QFETCH(QString, click);
        Harness h("[Orvanel]\nMinimized=1\n");
        h.platform.tray.available = trayAvailable;
        struct UserTray {
            FakeTrayIcon &tray;
            QString click;
            void doubleClick() const {
                if (click == u"single click")
                    tray.activate();
                else if (click == u"balloon")
                    tray.clickBalloon();
                else
                    tray.doubleClick();
            }
        } user{h.platform.tray, click};
        MainWindow *w = h.start();
        // Started "minimiert": in the tray, or minimised where there is none, and the status bar
        // says why it is not in the tray.
        QCOMPARE(w->isVisible(), !trayAvailable);
        const QString note = trayAvailable ? QString() : u"Kein Infobereich (Tray)"_qs;
        QCOMPARE(w->statusBar1()->panelText(1), note);

        user.doubleClick();
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());

        h.find<QAction>(u"Traymodus"_qs)->trigger();
        QCOMPARE(w->isVisible(), !trayAvailable);
        QCOMPARE(w->isMinimized(), !trayAvailable);
        QCOMPARE(w->statusBar1()->panelText(1), note);
        user.doubleClick();
        QVERIFY(w->isVisible());

        w->showMinimized();
        QTRY_COMPARE(w->isVisible(), !trayAvailable);
        user.doubleClick();
        QVERIFY(w->isVisible());

        // "Beenden" from the tray popup reaches the window wherever it is.
        h.find<QAction>(u"Traymodus"_qs)->trigger();
        QSignalSpy closed(w, &MainWindow::closed);
        h.find<QAction>(u"Beenden"_qs)->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(QFile::exists(h.folder.settingsFile()));
    }

    // The desktop's panel starts or ends while the program runs: without a tray the window is never
    // left hidden, and with one "Traymodus" goes back into it.
    void trayHostComesAndGoes_data() {
        QTest::addColumn<bool>("trayAtStart");
        QTest::newRow("a tray appears later") << false;
        QTest::newRow("the tray goes while the window is in it") << true;
    }
    void trayHostComesAndGoes() {
        QFETCH(bool, trayAtStart);
        Harness h;
        h.platform.tray.available = trayAtStart;
        MainWindow *w = h.start();
        StatusBar *status = w->statusBar1();
        const QString note = u"Kein Infobereich (Tray)"_qs;
        h.find<QAction>(u"Traymodus"_qs)->trigger();
        QCOMPARE(w->isVisible(), !trayAtStart);
        QCOMPARE(status->panelText(1), trayAtStart ? QString() : note);

        h.platform.tray.changeAvailability(!trayAtStart);
        // Out of a tray that is gone, into the task bar; or still where the user can see it.
        QVERIFY(w->isVisible());
        QCOMPARE(w->isMinimized(), true);
        QCOMPARE(status->panelText(1), trayAtStart ? note : QString());
        // Whoever reads the status bar (a hint, a screen reader) gets the whole reason.
        QCOMPARE(status->findChild<QLabel *>(u"StatusBar1Panel1"_qs)->toolTip().contains(u"Taskleiste"_qs),
                 trayAtStart);

        h.platform.tray.doubleClick();
        h.find<QAction>(u"Traymodus"_qs)->trigger();
        QCOMPARE(w->isVisible(), trayAtStart);
        w->close();
    }

    // Balloons that neither a tray nor the desktop's notification service take are said in the
    // status bar, with the system's reason, until one gets through again.
    void balloonsThatReachNobodyAreNoted() {
        Harness h;
        MainWindow *w = h.start();
        auto *panel = w->statusBar1()->findChild<QLabel *>(u"StatusBar1Panel1"_qs);
        h.platform.tray.changeBalloonsAvailability(false, u"org.freedesktop.Notifications fehlt"_qs);
        QCOMPARE(w->statusBar1()->panelText(1), u"Keine Desktop-Meldungen"_qs);
        QVERIFY(panel->isVisible());
        QVERIFY(panel->toolTip().contains(u"org.freedesktop.Notifications fehlt"_qs));
        QVERIFY(panel->accessibleDescription().contains(u"org.freedesktop.Notifications fehlt"_qs));
        h.platform.tray.changeBalloonsAvailability(true);
        QCOMPARE(w->statusBar1()->panelText(1), QString());
        QVERIFY(!panel->isVisible());
        w->close();
    }

    // Another start of the program asks for the window: shown, not minimised, whether it waited in
    // the tray, in the task bar, or the start-up had not yet shown it.
    void anotherStartShowsTheWindow_data() {
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<bool>("duringTheStartUp");
        QTest::newRow("in the tray") << true << false;
        QTest::newRow("minimised without a tray") << false << false;
        QTest::newRow("while the first connection is under way") << true << true;
    }
    void anotherStartShowsTheWindow() {
        QFETCH(bool, trayAvailable);
        QFETCH(bool, duringTheStartUp);
        Harness h("[Orvanel]\nMinimized=1\n");
        h.platform.tray.available = trayAvailable;
        std::function<void()> connectionDone;
        h.core.hooks.firstConnection = [&](std::function<void(int)>, std::function<void()> done) {
            connectionDone = std::move(done);
        };
        MainWindow *w = h.start();
        if (!duringTheStartUp)
            connectionDone();
        w->showOnRequest();
        QCOMPARE(w->isVisible(), !duringTheStartUp || !trayAvailable);
        if (duringTheStartUp)
            connectionDone(); // "minimiert starten" gives way to the request
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());
        w->close();
        w->showOnRequest(); // a closed program shows nothing
        QVERIFY(!w->isVisible());
    }

    void menusReportOpening() {
        Harness h;
        MainWindow *w = h.start();
        QSignalSpy open(w, &MainWindow::menuOpenChanged);
        QMenu popup;
        popup.addAction(u"Licht"_qs);
        w->setTrayPopup(&popup);
        QCOMPARE(h.platform.tray.popup, &popup);

        for (QMenu *menu : {h.find<QMenu>(u"Datei"_qs), &popup}) {
            open.clear();
            menu->popup(QPoint(10, 10));
            QVERIFY(menu->isVisible());
            menu->hide();
            QCOMPARE(open.count(), 2);
            QCOMPARE(open[0][0].toBool(), true);
            QCOMPARE(open[1][0].toBool(), false);
        }
    }

    void menuBarOpensTheWindows_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Console") << u"Console"_qs << u"TForm3"_qs << u"Quendra Tools"_qs;
        QTest::newRow("Webchecker") << u"Webchecker"_qs << u"TForm4"_qs << u"Quendra - Webchecker 0.2 Beta"_qs;
        QTest::newRow("Einstellungen") << u"menukonfig"_qs << u"TForm5"_qs << u"Quendra Konfig"_qs;
    }
    void menuBarOpensTheWindows() {
        QFETCH(QString, action);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        Harness h;
        h.start();
        auto *opened = h.find<QWidget>(window);
        QVERIFY(opened);
        QVERIFY(!opened->isVisible());
        QCOMPARE(opened->windowTitle(), caption);

        bool modal = false;
        if (auto *dialog = qobject_cast<QDialog *>(opened)) {
            // The modal dialog holds the trigger until it is closed.
            QTimer::singleShot(0, dialog, [&] {
                modal = dialog->isVisible() && dialog->isModal();
                dialog->reject();
            });
        }
        h.find<QAction>(action)->trigger();
        QCOMPARE(modal || opened->isVisible(), true);
    }

    // The checker exists from start-up but starts its browser only when it is first shown; the menu
    // entry opens it modally on the tab "Daten".
    void webcheckerOpensTheChecker() {
        Harness h;
        h.start();
        auto *checker = h.find<WebCheckWindow>(u"TForm4"_qs);
        QVERIFY(checker);
        QVERIFY(!checker->browser());
        QCOMPARE(checker->size(), QSize(880, 638));
        h.find<QAction>(u"Webchecker"_qs)->trigger();
        QVERIFY(checker->isVisible());
        QCOMPARE(checker->windowModality(), Qt::ApplicationModal);
        QVERIFY(dynamic_cast<FakeBrowserHost *>(checker->browser()));
        auto *tabs = checker->findChild<QTabWidget *>();
        QCOMPARE(tabs->tabText(tabs->currentIndex()), u"Daten"_qs);
    }

    // "Einstellungen" opens the wildcard words; "Schließen" stores them and the popup shows them
    // from its next rebuild ("Neu laden" here), not at once.
    void wildcardWordsFromTheMenuBar() {
        Harness h("[Orvanel]\r\nKey=geheim\r\n");
        QVERIFY(h.folder.write(u"quendramenu.ini"_qs, menuEntry(u"Tür $1"_qs, u"1,0"_qs, false, false)));
        h.wire();
        h.start();
        QMenu *popup = h.platform.tray.popup;
        QCOMPARE(itemTexts(popup), offlinePopup(QStringList{u"Tür auf"_qs}));
        h.find<QAction>(u"menukonfig"_qs)->trigger();
        auto *dialog = h.find<QDialog>(u"TForm5"_qs);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isModal());
        dialog->findChild<QLineEdit *>(u"wc1auf"_qs)->setText(u"offen"_qs);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"TeButton1"_qs), Qt::LeftButton);
        QVERIFY(dialog->isHidden());
        const IniFile ini(h.folder.settingsFile());
        QCOMPARE(ini.readString(u"TEXTE"_qs, u"WC1A"_qs), u"offen"_qs);
        QCOMPARE(ini.readString(u"Orvanel"_qs, u"Key"_qs), u"geheim"_qs);
        QCOMPARE(h.core.wildcardTexts().wc1a, u"offen"_qs);
        QCOMPARE(itemTexts(popup), offlinePopup(QStringList{u"Tür auf"_qs}));
        QTest::mouseClick(h.find<QPushButton>(u"menuladen"_qs), Qt::LeftButton);
        QCOMPARE(itemTexts(popup), offlinePopup(QStringList{u"Tür offen"_qs}));
    }

    void menuBarHints_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("hint");
        QTest::newRow("Console has none") << u"Console"_qs << QString();
        QTest::newRow("Webchecker") << u"Webchecker"_qs << u"OV Struktur muss geladen sein"_qs;
    }
    void menuBarHints() {
        QFETCH(QString, action);
        QFETCH(QString, hint);
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        Harness h;
        QMenuBar *bar = h.start()->menuBar();
        const QPoint pos = bar->actionGeometry(h.find<QAction>(action)).center();
        QHelpEvent event(QEvent::ToolTip, pos, bar->mapToGlobal(pos));
        QCoreApplication::sendEvent(bar, &event);
        QCOMPARE(QToolTip::text(), hint);
    }

    void help() {
        Harness h;
        h.start();
        QVERIFY(h.platform.dialogs.boxes.isEmpty());
        h.find<QAction>(u"Hilfe"_qs)->trigger();
        QCOMPARE(h.platform.help.shown, QStringList{kHelpFile + u"#1"_qs});

        const QString missing = h.folder.file(u"help/quendra.html"_qs);
        Harness without({}, missing);
        without.start();
        QCOMPARE(without.platform.dialogs.texts(FakeDialogs::Kind::Message),
                 QStringList{u"Hilfe-Datei nicht gefunden\r"_qs + missing});
        QVERIFY(without.startup.isFinished());
    }

    void everyControlIsNamedForScreenReaders() {
        Harness h;
        h.wire();
        h.start();
        QList<QWidget *> controls = h.window()->findChildren<QWidget *>();
        controls += h.startup.splash()->findChildren<QWidget *>();
        for (QWidget *control : controls) {
            const bool operable = qobject_cast<QLineEdit *>(control) || qobject_cast<QAbstractButton *>(control) ||
                                  qobject_cast<QAbstractItemView *>(control) || qobject_cast<QProgressBar *>(control) ||
                                  qobject_cast<QTabWidget *>(control);
            // Qt's own helpers (the menu bar's overflow button, a drop-down list's popup list) are Qt's
            // to name, and read out as their list; the trees' headers are hidden.
            const bool qtsOwn =
                control->objectName().startsWith(u"qt_"_qs) ||
                (control->parentWidget() && control->parentWidget()->inherits("QComboBoxPrivateContainer"));
            if (operable && !qtsOwn && !qobject_cast<QHeaderView *>(control))
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
        QList<QLabel *> labels = h.window()->findChildren<QLabel *>();
        labels += h.startup.splash()->findChildren<QLabel *>();
        for (QLabel *label : labels) {
            if (label->text().endsWith(u':') || label->text() == u"Busmonitor"_qs ||
                label->text() == u"Quendra wird geladen"_qs)
                QVERIFY2(label->buddy(), qPrintable(label->text()));
        }
        // The status bar's panels are read out with what they show.
        LinkView &view = *h.window();
        view.setStatusText(u"Mit OV verbunden / 0 KO gefunden"_qs);
        const QList<QLabel *> panels = h.find<QStatusBar>(u"StatusBar1"_qs)->findChildren<QLabel *>();
        QCOMPARE(panels.size(), 2);
        for (QLabel *panel : panels) {
            QVERIFY(!panel->accessibleName().isEmpty());
            QCOMPARE(panel->accessibleDescription(), panel->text());
        }
        QCOMPARE(panels[0]->accessibleDescription(), u"Mit OV verbunden / 0 KO gefunden"_qs);
        // The name is what a screen reader says first: the text, or what the panel is while empty.
        QCOMPARE(panels[0]->accessibleName(), u"Mit OV verbunden / 0 KO gefunden"_qs);
        QCOMPARE(panels[1]->accessibleName(), u"Statuszeile"_qs);
    }

    void autostartFollowsTheCheckBox() {
        QTemporaryDir config;
        const ConfigHome home(config.path());
        const QString entry = config.filePath(u"autostart/quendra.desktop"_qs);
        XdgAutostart autostart;
        Harness h({}, kHelpFile, &autostart);
        h.start();

        h.find<QCheckBox>(u"OVAUTO"_qs)->setChecked(true);
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(file.readAll());
        QVERIFY2(content.contains(u"\nExec=\""_qs + QCoreApplication::applicationFilePath() + u"\"\n"_qs),
                 qPrintable(content));
        file.close();

        h.find<QCheckBox>(u"OVAUTO"_qs)->setChecked(false);
        QVERIFY(!QFile::exists(entry));
        QVERIFY(h.platform.dialogs.boxes.isEmpty());
    }

    void autostartThatCannotBeWrittenIsReported() {
        // A folder below a plain file can be created by no one.
        QTemporaryDir base;
        QFile blocker(base.filePath(u"blocker"_qs));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const ConfigHome home(blocker.fileName());
        XdgAutostart autostart;
        Harness h({}, kHelpFile, &autostart);
        h.start();

        h.find<QCheckBox>(u"OVAUTO"_qs)->setChecked(true);
        const QStringList errors = h.platform.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(XdgAutostart::entryPath()), qPrintable(errors[0]));
        // The tick stays as the user set it and is stored with the settings.
        QVERIFY(h.find<QCheckBox>(u"OVAUTO"_qs)->isChecked());
        h.find<QCheckBox>(u"OVAUTO"_qs)->setChecked(false); // no entry to remove is no error
        QCOMPARE(h.platform.dialogs.boxes.size(), 1);
    }

    void autostartExecLineStartsExactlyThisProgram_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec"); // as the desktop entry file holds it
        QTest::newRow("plain") << u"/usr/bin/quendra"_qs << u"\"/usr/bin/quendra\""_qs;
        QTest::newRow("blank") << u"/opt/my apps/quendra"_qs << u"\"/opt/my apps/quendra\""_qs;
        QTest::newRow("field code sign") << u"/opt/100%/quendra"_qs << u"\"/opt/100%%/quendra\""_qs;
        QTest::newRow("shell characters") << u"/opt/$x`y\"/q"_qs << u"\"/opt/\\\\$x\\\\`y\\\\\"/q\""_qs;
        QTest::newRow("backslash") << u"/opt/a\\b/q"_qs << u"\"/opt/a\\\\\\\\b/q\""_qs;
    }
    void autostartExecLineStartsExactlyThisProgram() {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(XdgAutostart::execValue(path), exec);
    }

    void autostartIsWrittenAnewAtStart() {
        Harness h("[Orvanel]\nAuto=1\n");
        h.start();
        QCOMPARE(h.platform.autostart.calls, QStringList{u"enable "_qs + QCoreApplication::applicationFilePath()});
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
        QCOMPARE(itemTexts(popup), offlinePopup(QStringList{u"Rollo 1,0"_qs}));
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
        QCOMPARE(itemTexts(popup), offlinePopup(QStringList{u"Licht 0,0"_qs}));
        popup->hide();
    }

    // Qt's own texts (standard buttons, the folder chooser) speak German like the program.
    void qtSpeaksGerman() {
        QDialogButtonBox english(QDialogButtonBox::Cancel);
        QCOMPARE(english.button(QDialogButtonBox::Cancel)->text().remove(u'&'), u"Cancel"_qs);
        {
            QtTranslations translations(QLocale(QLocale::German, QLocale::Germany));
            QVERIFY2(translations.installedCount() >= 1, "Qt's German translations are not installed");
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), u"Abbrechen"_qs);
            QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), u"Suchen in:"_qs);
        }
        // Gone with the object: the next test starts from Qt's own texts again.
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), u"Look in:"_qs);
    }

    void firstRunSaysWhereToBegin_data() {
        QTest::addColumn<bool>("settingsFile");
        QTest::newRow("no settings file") << false;
        QTest::newRow("settings file") << true;
    }
    void firstRunSaysWhereToBegin() {
        QFETCH(bool, settingsFile);
        Harness h(settingsFile ? QByteArray("[Orvanel]\nIP=192.168.1.25\n") : QByteArray());
        h.wire();
        MainWindow *w = h.start();
        QVERIFY(w->isVisible());
        const QString firstRunText = u"Bitte Adresse, Ports und Key des Orvanel eintragen und connect drücken"_qs;
        QCOMPARE(w->statusBar1()->panelText(0) == firstRunText, !settingsFile);
        if (settingsFile)
            return;
        QVERIFY(!w->settingsHeader()->isRolled());
        QCOMPARE(w->focusWidget(), h.find<QWidget>(u"OVIP"_qs));
        // Read whole: panel 0 takes the room the empty panel 1 leaves.
        auto *panel0 = h.find<QLabel>(u"StatusBar1Panel0"_qs);
        QTRY_VERIFY(panel0->width() >= panel0->fontMetrics().horizontalAdvance(firstRunText));
        QCOMPARE(w->width(), 561);
        // An empty menu still shows where to build one, as an item that does nothing.
        QMenu *popup = h.platform.tray.popup;
        QCOMPARE(itemTexts(popup), offlinePopup({u"Noch kein Menü – im Fenster unter „Menü“ anlegen"_qs}));
        QVERIFY(!popup->actions().last()->isEnabled());
    }

    void toolWindowsOpenCentredAndWhole_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("window");
        QTest::newRow("Console") << u"Console"_qs << u"TForm3"_qs;
        QTest::newRow("Webchecker") << u"Webchecker"_qs << u"TForm4"_qs;
    }
    void toolWindowsOpenCentredAndWhole() {
        QFETCH(QString, action);
        QFETCH(QString, window);
        Harness h;
        MainWindow *w = h.start();
        auto *opened = h.find<QWidget>(window);
        h.find<QAction>(action)->trigger();
        QVERIFY(opened->isVisible());
        const QRect room = w->screen()->availableGeometry();
        QVERIFY2(room.contains(opened->frameGeometry()), "cut off by the screen's edge");
        // Centred, give or take the frame the window system adds.
        QVERIFY((opened->frameGeometry().center() - room.center()).manhattanLength() <= 8);
        // Moved by the user, it opens where it was left.
        opened->hide();
        opened->move(room.topLeft() + QPoint(5, 5));
        h.find<QAction>(action)->trigger();
        QCOMPARE(opened->pos(), room.topLeft() + QPoint(5, 5));
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

    void menuBarMnemonics_data() {
        QTest::addColumn<QString>("action"); // the menu "Datei" by its menu's name
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("Datei") << u"Datei"_qs << u"Datei"_qs << QKeySequence(Qt::ALT | Qt::Key_D);
        QTest::newRow("Console") << u"Console"_qs << u"Console"_qs << QKeySequence(Qt::ALT | Qt::Key_C);
        QTest::newRow("Webchecker") << u"Webchecker"_qs << u"Webchecker"_qs << QKeySequence(Qt::ALT | Qt::Key_W);
        QTest::newRow("Einstellungen") << u"menukonfig"_qs << u"Einstellungen"_qs << QKeySequence(Qt::ALT | Qt::Key_E);
        QTest::newRow("Hilfe") << u"Hilfe"_qs << u"Hilfe"_qs << QKeySequence(Qt::ALT | Qt::Key_H);
    }

    // Every entry of the menu bar is reached with Alt and its first letter; the caption shown and
    // read out stays the same.
    void menuBarMnemonics() {
        QFETCH(QString, action);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, key);
        Harness h;
        h.start();
        QMenu *datei = h.find<QMenu>(u"Datei"_qs);
        const QAction *entry = action == u"Datei"_qs ? datei->menuAction() : h.find<QAction>(action);
        QVERIFY(entry);
        QCOMPARE(QKeySequence::mnemonic(entry->text()), key);
        QCOMPARE(entry->iconText(), caption);
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(h.window()->menuBar());
        QStringList names;
        for (int i = 0; i < bar->childCount(); ++i)
            names << bar->child(i)->text(QAccessible::Name);
        QVERIFY2(names.contains(caption), qPrintable(names.join(u", "_qs)));
        // The popup of "Datei" is named for screen readers too.
        QCOMPARE(datei->accessibleName(), u"Datei"_qs);
    }

    void f1OpensTheHelp_data() {
        QTest::addColumn<QString>("from"); // the window that has the focus
        QTest::newRow("main window") << u"TForm1"_qs;
        QTest::newRow("console") << u"TForm3"_qs;
    }

    // F1 opens the help as "Hilfe" does, also from the console.
    void f1OpensTheHelp() {
        QFETCH(QString, from);
        Harness h;
        MainWindow *w = h.start();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QWidget *window = w;
        if (from != u"TForm1"_qs) {
            h.find<QAction>(u"Console"_qs)->trigger();
            window = h.find<QWidget>(from);
        }
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_F1);
        QCOMPARE(h.platform.help.shown, QStringList{kHelpFile + u"#1"_qs});
    }

    void toolWindowsAreWindowsAndCloseWithEsc_data() { toolWindowsOpenCentredAndWhole_data(); }

    // The console and the checker are windows to screen readers and close with Esc, as with their
    // close button.
    void toolWindowsAreWindowsAndCloseWithEsc() {
        QFETCH(QString, action);
        QFETCH(QString, window);
        Harness h;
        h.start();
        auto *opened = h.find<QWidget>(window);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(opened);
        QCOMPARE(accessible->role(), QAccessible::Window);
        QCOMPARE(accessible->text(QAccessible::Name), opened->windowTitle());
        h.find<QAction>(action)->trigger();
        QVERIFY(opened->isVisible());
        opened->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(opened));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : opened, Qt::Key_Escape);
        QVERIFY(!opened->isVisible());
        QVERIFY(h.window()->isVisible());
    }

    void connectEndsTheFirstRunHint_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const QString hint = u"Bitte Adresse, Ports und Key des Orvanel eintragen und connect drücken"_qs;
        QTest::newRow("the first start's hint") << hint << QString();
        QTest::newRow("a text of the link") << u"OV offline"_qs << u"OV offline"_qs;
    }

    // Pressing "connect" does what the first start's hint asks for: the hint goes. What the link
    // has said stays until the link says more.
    void connectEndsTheFirstRunHint() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        Harness h;
        MainWindow *w = h.start();
        w->setStatusText(before);
        QSignalSpy clicked(w, &MainWindow::connectButtonClicked);
        QTest::mouseClick(h.find<QPushButton>(u"ovconnectbtn"_qs), Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(w->statusBar1()->panelText(0), after);
    }

    void settingsFieldsOfferTheirTextToOverwrite_data() {
        QTest::addColumn<QString>("field");
        for (const char *field : {"OVIP", "OVMPORT", "OVPORT", "OVKEY", "OVPFAD"})
            QTest::newRow(field) << QString::fromLatin1(field);
    }

    // A click into a settings field selects what it holds, so typing replaces "0.0.0.0".
    void settingsFieldsOfferTheirTextToOverwrite() {
        QFETCH(QString, field);
        Harness h("[Orvanel]\nIP=0.0.0.0\nKey=geheim\n");
        MainWindow *w = h.start();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto *edit = h.find<QLineEdit>(field);
        h.find<QPushButton>(u"menuladen"_qs)->setFocus();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
        QVERIFY(edit->hasFocus());
        QVERIFY(!edit->text().isEmpty());
        QCOMPARE(edit->selectedText(), edit->text());
    }

    // The gateway key is shown and read out as a password field; the file keeps the key.
    void gatewayKeyIsNotShown() {
        Harness h("[Orvanel]\nKey=geheim\n");
        h.start();
        auto *key = h.find<QLineEdit>(u"OVKEY"_qs);
        QCOMPARE(key->echoMode(), QLineEdit::Password);
        QCOMPARE(key->text(), u"geheim"_qs);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(key);
        QVERIFY(accessible->state().passwordEdit);
        QVERIFY(!accessible->text(QAccessible::Value).contains(u"geheim"_qs));
        QCOMPARE(h.window()->keyText(), u"geheim"_qs);
    }

    // The autostart hint speaks of the desktop the program runs on.
    void autostartHintSaysWhenItStarts() {
        Harness h;
        h.start();
        QCOMPARE(h.find<QCheckBox>(u"OVAUTO"_qs)->toolTip(), u"Startet Quendra beim Anmelden"_qs);
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"

// The settings file "quendra.ini" and the settings panel: what a start reads, what leaving an edit
// and closing write, the configuration folder's rules, files that cannot be read or written, and
// the autostart entry "Autostart" keeps.
#include "AppHarness.h"
#include "CommandLine.h"
#include "ConfigHome.h"
#include "FileMessages.h"
#include "HeaderPanel.h"
#include "IniFile.h"
#include "LinkView.h"
#include "LoopbackHttpServer.h"
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

namespace {
// What a control shows: an edit's text, "1"/"0" for a check box.
QString shown(QWidget *control) {
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *box = qobject_cast<QCheckBox *>(control))
        return box->isChecked() ? u"1"_qs : u"0"_qs;
    return {};
}
} // namespace

class TestAppSettings : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsDefaultsAndWritesAllKeysInOrder() {
        Harness h;
        h.recordHooks();
        bool settingsBeforeMenu = false;
        h.menuFile.whenSaving = [&](const QString &) {
            settingsBeforeMenu = QFile::exists(h.folder.settingsFile());
            return true;
        };
        MainWindow *w = h.start();
        QVERIFY(h.startup.isFinished());
        QCOMPARE(h.find<QLineEdit>(u"OVIP"_qs)->text(), u"0.0.0.0"_qs);
        QCOMPARE(h.find<QLineEdit>(u"OVPORT"_qs)->text(), u"0"_qs);
        QCOMPARE(h.find<QLineEdit>(u"OVMPORT"_qs)->text(), u"0"_qs);
        QCOMPARE(h.find<QLineEdit>(u"OVPFAD"_qs)->text(), h.folder.path());
        QCOMPARE(h.wildcardTexts(), WildcardTexts());
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
        QCOMPARE(h.wildcardTexts(), expected);
    }

    void mailtimeNotAWholeNumberFallsBackToFive() {
        Harness h("[Orvanel]\nMail=1\nMailtime=abc\nScreen=Flur Licht\n");
        QSignalSpy mail(&h.core.settings(), &ProgramSettings::mailChanged);
        MainWindow *w = h.start();
        QCOMPARE(h.platform.dialogs.texts(FakeDialogs::Kind::Error),
                 QStringList{u"'abc' ist kein gültiger Integerwert."_qs});
        QCOMPARE(h.core.settings().mailtime(), u"5"_qs);
        QCOMPARE(h.core.settings().screen(), u"Flur Licht"_qs);
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
        h.start();
        const QStringList &notes = h.parts.link.notes;
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
        QStringList saved, log;
        const bool saves = true;
        RecordingFiles menuFile(u"Menu"_qs, log, saves);
        menuFile.whenSaving = [&](const QString &) {
            saved.append(u"menu"_qs);
            return true;
        };
        core.subsystems().add(u"Menü"_qs, menuFile);
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

    // The autostart hint speaks of the desktop the program runs on.
    void autostartHintSaysWhenItStarts() {
        Harness h;
        h.start();
        QCOMPARE(h.find<QCheckBox>(u"OVAUTO"_qs)->toolTip(), u"Startet Quendra beim Anmelden"_qs);
    }
};

QTEST_MAIN(TestAppSettings)
#include "tst_app_settings.moc"

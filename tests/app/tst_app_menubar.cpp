// The menu bar and the windows it opens: the console, the web-query checker, the wildcard words and
// the help, by mouse and by keyboard.
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

class TestAppMenuBar : public QObject {
    Q_OBJECT

private slots:
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
        QCOMPARE(h.wildcardTexts().wc1a, u"offen"_qs);
        QCOMPARE(itemTexts(popup), offlinePopup(QStringList{u"Tür auf"_qs}));
        QTest::mouseClick(h.find<QPushButton>(u"menuladen"_qs), Qt::LeftButton);
        // The menu read again is built when the popup opens.
        popup->popup(QPoint(10, 10));
        QCOMPARE(itemTexts(popup), openedOfflinePopup(QStringList{u"Tür offen"_qs}));
        popup->hide();
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
};

QTEST_MAIN(TestAppMenuBar)
#include "tst_app_menubar.moc"

// The main window as a frame: its columns and sizes, the link's looks, the tray, the status bar's
// notes, another start asking for the window, the first start's hints and screen readers.
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

class TestAppWindow : public QObject {
    Q_OBJECT

private slots:
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
        h.parts.firstConnection = [&](std::function<void(int)>, std::function<void()> done) {
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
};

QTEST_MAIN(TestAppWindow)
#include "tst_app_window.moc"

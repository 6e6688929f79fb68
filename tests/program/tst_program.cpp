// The whole program against the simulator: the menu built from the catalogue in the editor, and
// values, clicks and notifications through the real link, kept across a restart.
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
            popup << (c.bezeichnung == u"-"_qs ? QString()
                                               : popupCaption(c.bezeichnung, c.lv, p.wiring.wildcardTexts()));
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
        QVERIFY(startAgainst(ovsim, folder, false));
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
        QVERIFY(startAgainst(ovsim, folder));

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
        QVERIFY(p.readStartupEvents());
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
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"

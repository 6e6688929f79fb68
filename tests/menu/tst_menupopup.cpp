// The tray popup (items, rows of its own, accessibility, clicks) and the event sounds.
#include "CanberraEventSounds.h"
#include "Captions.h"
#include "FakeLinkView.h"
#include "FakePlatform.h"
#include "IniFile.h"
#include "LinkController.h"
#include "MenuCommand.h"
#include "MenuExecution.h"
#include "MenuFakes.h"
#include "MenuFile.h"
#include "MenuTestData.h"
#include "MenuTreeModel.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "SoundPicker.h"
#include "StateIcon.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMutex>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <climits>
#include <numeric>

class TestMenuPopup : public QObject {
    Q_OBJECT

private slots:
    // ---- tray popup ----

    void popupItems() {
        MenuList menu;
        MenuCommand kitchen = command(u"Licht Küche"_qs, u"Ein"_qs, u"2"_qs, u"1,0"_qs, 0);
        kitchen.stateIcon = 1;
        menu.append(kitchen);
        menu.append(MenuCommand::separator());
        menu.append(command(u"Rollo $2"_qs, u"Um"_qs, u"1536"_qs, u"0,0"_qs, 6));
        menu.append(command(u"Tom & Jerry $"_qs, u"lesen"_qs, u"70001"_qs, u"1"_qs, 20));
        menu.append(command(u"$"_qs, u"lesen"_qs, u"3"_qs, u"-"_qs, 17)); // a caption of "-" is a line too
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        QCOMPARE(popup.popupMenu()->objectName(), u"PopupMenu"_qs);

        popup.make_popup();
        const auto actions = popup.popupMenu()->actions();
        QCOMPARE(actions.size(), 5);
        const QStringList expectedTexts{u"Licht Küche 1,0"_qs, QString(), u"Rollo oben"_qs, u"Tom && Jerry 1"_qs,
                                        QString()};
        const QList<bool> separators{false, true, false, false, true};
        const QList<int> icons{1, -1, 6, 20, -1};
        for (qsizetype i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions.at(i)->text(), expectedTexts.at(i));
            QCOMPARE(actions.at(i)->isSeparator(), separators.at(i));
            QCOMPARE(actions.at(i)->data().value<qsizetype>(), i * 11);
            if (!separators.at(i))
                QCOMPARE(iconColour(actions.at(i)->icon()), iconColour(colourIcon(icons.at(i))));
        }

        QSignalSpy clicked(&popup, &TrayPopup::menuItemClicked);
        actions.at(2)->trigger();
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.at(0).at(0).value<qsizetype>(), 22);

        // A rebuild shows new values and icons and replaces every item; with the popup closed, the
        // old items are gone at once.
        QList<QPointer<QAction>> oldItems(actions.cbegin(), actions.cend());
        menu[2].lv = u"1,0"_qs;
        menu[2].stateIcon = 7;
        texts.wc2b = u"zu"_qs;
        popup.make_popup();
        const auto rebuilt = popup.popupMenu()->actions();
        QCOMPARE(rebuilt.size(), 5);
        QCOMPARE(rebuilt.at(2)->text(), u"Rollo zu"_qs);
        QCOMPARE(iconColour(rebuilt.at(2)->icon()), iconColour(colourIcon(7)));
        for (const QPointer<QAction> &old : oldItems)
            QVERIFY(old.isNull());
    }

    // An empty menu shows one disabled item saying where to build it; while the link is down a
    // disabled title row says so above the entries, which keep their values.
    void popupRowsOfItsOwn_data() {
        QTest::addColumn<bool>("withEntry");
        QTest::addColumn<bool>("offline");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<bool>>("enabled");
        const QString empty = u"Noch kein Menü – im Fenster unter „Menü“ anlegen"_qs;
        const QString title = u"Quendra – offline"_qs;
        QTest::newRow("empty") << false << false << QStringList{empty} << QList<bool>{false};
        QTest::newRow("empty, offline") << false << true << QStringList{title, QString(), empty}
                                        << QList<bool>{false, true, false};
        QTest::newRow("entry") << true << false << QStringList{u"Licht 1,0"_qs} << QList<bool>{true};
        QTest::newRow("entry, offline") << true << true << QStringList{title, QString(), u"Licht 1,0"_qs}
                                        << QList<bool>{false, true, true};
    }
    void popupRowsOfItsOwn() {
        QFETCH(bool, withEntry);
        QFETCH(bool, offline);
        QFETCH(QStringList, expected);
        QFETCH(QList<bool>, enabled);
        MenuList menu;
        if (withEntry)
            menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"1,0"_qs, 0));
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        popup.setOffline(offline);
        QStringList items;
        QList<bool> active;
        for (const QAction *action : popup.popupMenu()->actions()) {
            items << action->text();
            active << action->isEnabled();
        }
        QCOMPARE(items, expected);
        QCOMPARE(active, enabled);
        QCOMPARE(popup.popupMenu()->accessibleName(), offline ? u"Quendra – offline"_qs : u"Quendra"_qs);
        // The rows of its own run nothing; the entry still does.
        QSignalSpy clicked(&popup, &TrayPopup::menuItemClicked);
        for (QAction *action : popup.popupMenu()->actions())
            action->trigger();
        QCOMPARE(clicked.size(), withEntry ? 1 : 0);

        // Back online, only the entries are left.
        popup.setOffline(false);
        QCOMPARE(popup.popupMenu()->actions().size(), 1);
    }

    // A menu larger than the popup shows: the first entries, and a disabled last row saying how
    // many are left out; every item shown still runs its own entry.
    void popupShowsAtMostItsBudget() {
        MenuList menu;
        const qsizetype entries = TrayPopup::kMaxItems + 3;
        for (qsizetype i = 0; i < entries; ++i)
            menu.append(command(QStringLiteral("Licht %1").arg(i), u"Ein"_qs, QString::number(i + 1), u"1"_qs, 0));
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        const auto actions = popup.popupMenu()->actions();
        QCOMPARE(actions.size(), TrayPopup::kMaxItems + 1);
        const QAction *note = actions.constLast();
        QCOMPARE(note->text(), u"… und 3 weitere Einträge – das Popup zeigt höchstens 5000"_qs);
        QVERIFY(!note->isEnabled());
        QVERIFY(!note->data().isValid());
        const QAction *lastShown = actions.at(TrayPopup::kMaxItems - 1);
        QCOMPARE(lastShown->text(), QStringLiteral("Licht %1 1").arg(TrayPopup::kMaxItems - 1));
        QSignalSpy clicked(&popup, &TrayPopup::menuItemClicked);
        actions.at(TrayPopup::kMaxItems - 1)->trigger();
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.at(0).at(0).value<qsizetype>(), MenuList::flatPosition(TrayPopup::kMaxItems - 1));
    }

    void popupDrawsEverySeparator_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("offline");
        QTest::newRow("at the end") << QStringList{u"Licht"_qs, u"-"_qs} << false;
        QTest::newRow("two in a row") << QStringList{u"Licht"_qs, u"-"_qs, u"-"_qs, u"Rollo"_qs} << false;
        QTest::newRow("first, below the offline title") << QStringList{u"-"_qs, u"Licht"_qs} << true;
    }

    // Every "-" the user put in is a line in the popup, also at the end and twice in a row.
    void popupDrawsEverySeparator() {
        QFETCH(QStringList, entries);
        QFETCH(bool, offline);
        MenuList menu;
        for (const QString &text : entries)
            menu.append(text == u"-"_qs ? MenuCommand::separator() : command(text, u"Ein"_qs, u"1"_qs, u"1,0"_qs, 0));
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.setOffline(offline);
        popup.make_popup();
        QMenu *shown = popup.popupMenu();
        const auto actions = shown->actions();
        QCOMPARE(actions.size(), entries.size() + (offline ? 2 : 0));
        for (QAction *action : actions)
            QVERIFY2(shown->actionGeometry(action).height() > 0, qPrintable(action->text()));
    }

    // The popup takes an entry for an attribute when it carries the attribute marker as symbol or
    // the state attribute's text: no item for it. The file keeps it.
    void popupLeavesOutWhatLooksLikeAnAttribute() {
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs, 0));
        menu.append(command(u"Raute"_qs, u"Ein"_qs, u"2"_qs, u"0,0"_qs, 22));
        menu.append(command(u"Symbolstatus"_qs, u"Ein"_qs, u"3"_qs, u"0,0"_qs, 4));
        menu.append(command(u"symbolstatus"_qs, u"Ein"_qs, u"4"_qs, u"0,0"_qs, 21)); // state icon 22 is fine
        menu[3].stateIcon = 22;
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        QStringList items;
        QList<qsizetype> tags;
        for (const QAction *action : popup.popupMenu()->actions()) {
            items << action->text();
            tags << action->data().value<qsizetype>();
        }
        QCOMPARE(items, (QStringList{u"Licht 0,0"_qs, u"symbolstatus 0,0"_qs}));
        QCOMPARE(tags, (QList<qsizetype>{0, 33}));

        TempProgramFolder dir;
        const QString path = dir.file(u"quendramenu.ini"_qs);
        QVERIFY(saveMenuFile(path, menu));
        QCOMPARE(captions(LoadMenuFile(path).menu), captions(menu));
    }

    // Screen readers find the popup, its items by their captions, and every row of the tree.
    void accessibleNames() {
        MenuList menu;
        MenuCommand light = command(u"Tom & Jerry $3"_qs, u"Ein"_qs, u"768"_qs, u"1,0"_qs, 0);
        light.stateIcon = 1;
        menu.append(light);
        menu.append(MenuCommand::separator());
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        QAccessibleInterface *menuInterface = QAccessible::queryAccessibleInterface(popup.popupMenu());
        QVERIFY(menuInterface);
        QCOMPARE(menuInterface->text(QAccessible::Name), u"Quendra"_qs);
        QCOMPARE(menuInterface->childCount(), 2);
        QCOMPARE(menuInterface->child(0)->text(QAccessible::Name), u"Tom & Jerry an"_qs);
        QCOMPARE(menuInterface->child(1)->role(), QAccessible::Separator);

        MenuTreeModel model(menu, &colourIcon);
        const QModelIndex entry = model.index(0, 0);
        QCOMPARE(entry.data(Qt::AccessibleTextRole).toString(), u"Tom & Jerry $3"_qs);
        QStringList names;
        QStringList descriptions;
        for (int row = 0; row < model.rowCount(entry); ++row) {
            names << model.index(row, 0, entry).data(Qt::AccessibleTextRole).toString();
            descriptions << model.index(row, 0, entry).data(Qt::AccessibleDescriptionRole).toString();
        }
        QCOMPARE(names, (QStringList{u"Schaltaktor (0/1)"_qs, u"Ein"_qs, u"Wert"_qs, u"Symbolstatus"_qs, u"768"_qs,
                                     u"1,0"_qs, u"False"_qs, u"False"_qs, u"False"_qs, u"Soundname"_qs}));
        QCOMPARE(descriptions, (QStringList{u"Typ"_qs, u"Aktion"_qs, u"Wert"_qs, u"Bild 1"_qs, u"GAN"_qs, u"LV"_qs,
                                            u"Balloon"_qs, u"Msg"_qs, u"Sound"_qs, u"Soundname"_qs}));
        QCOMPARE(model.index(1, 0).data(Qt::AccessibleTextRole).toString(), u"-"_qs);
    }

    void popupOpenAndClosed() {
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        WildcardTexts texts;
        TrayPopup popup(menu, texts);
        popup.make_popup();
        QSignalSpy open(&popup, &TrayPopup::menuOpenChanged);
        popup.popupMenu()->popup(QPoint(10, 10));
        QTRY_COMPARE(open.size(), 1);
        QCOMPARE(open.at(0).at(0).toBool(), true);
        popup.popupMenu()->hide();
        QTRY_COMPARE(open.size(), 2);
        QCOMPARE(open.at(1).at(0).toBool(), false);
    }

    // Values that come while the popup is closed only mark it stale: no item is made for them until
    // it opens, and then it shows the newest. An open popup shows each value at once.
    void closedPopupIsBuiltWhenItOpens() {
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        QMenu *shown = popup.popupMenu();
        const QPointer<QAction> built = shown->actions().at(0);
        for (int value = 1; value <= 100; ++value) {
            menu[0].lv = QString::number(value) + u",0"_qs;
            popup.valuesChanged();
        }
        QVERIFY(built);
        QCOMPARE(built->text(), u"Licht 0,0"_qs);

        shown->popup(QPoint(10, 10));
        QCOMPARE(shown->actions().at(0)->text(), u"Licht 100,0"_qs);
        menu[0].lv = u"7,0"_qs;
        popup.valuesChanged();
        QCOMPARE(shown->actions().at(0)->text(), u"Licht 7,0"_qs);
        shown->hide();
        QTRY_VERIFY(built.isNull());
    }

    // A menu read again ("Neu laden") is built when the popup opens, not while it is closed; an open
    // popup shows the new entries at once.
    void reloadedMenuIsBuiltWhenItOpens() {
        MenuList menu;
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        menu.append(command(u"Rollo"_qs, u"Ein"_qs, u"2"_qs, u"0,0"_qs));
        WildcardTexts texts;
        TrayPopup popup(menu, texts, &colourIcon);
        popup.make_popup();
        QMenu *shown = popup.popupMenu();
        const QPointer<QAction> built = shown->actions().at(0);
        menu.clear();
        menu.append(command(u"Tür"_qs, u"Ein"_qs, u"3"_qs, u"1,0"_qs));
        popup.entriesReplaced();
        QVERIFY(built);
        QCOMPARE(shown->actions().size(), 2);

        shown->popup(QPoint(10, 10));
        QCOMPARE(shown->actions().size(), 1);
        QCOMPARE(shown->actions().at(0)->text(), u"Tür 1,0"_qs);
        const QPointer<QAction> opened = shown->actions().at(0);
        menu.append(command(u"Licht"_qs, u"Ein"_qs, u"1"_qs, u"0,0"_qs));
        popup.entriesReplaced();
        QCOMPARE(shown->actions().size(), 2);
        QCOMPARE(shown->actions().at(1)->text(), u"Licht 0,0"_qs);
        shown->hide();
        QTRY_VERIFY(built.isNull() && opened.isNull());
    }

    // A click on an item goes out on the gateway; the reply lands in the entry and the next popup.
    void clickThroughPopup() {
        FakeDialogs dialogs;
        FakeTrayIcon tray;
        FakeEventSounds sounds;
        ScriptedChannel channel;
        MenuList menu;
        WildcardTexts texts;
        MenuCommand toggle = command(u"Licht Küche $3"_qs, u"Um"_qs, u"2"_qs, u"0,0"_qs, 2);
        toggle.stateIcon = 3;
        toggle.balloon = u"True"_qs;
        menu.append(MenuCommand::separator());
        menu.append(toggle);
        Notifications notifications(menu, texts, tray, dialogs, sounds);
        MenuValueTarget target(menu, notifications, [] { return true; });
        TrayPopup popup(menu, texts, &colourIcon);
        MenuExecution execution(menu, channel, dialogs);
        connect(&popup, &TrayPopup::menuItemClicked, &execution, &MenuExecution::OnMenuItemclick);

        popup.make_popup();
        QCOMPARE(popup.popupMenu()->actions().at(1)->text(), u"Licht Küche aus"_qs);
        popup.popupMenu()->actions().at(1)->trigger();
        QCOMPARE(channel.sent, QStringList{u"1|2|1"_qs});
        channel.reply(u"2|2|1.0"_qs);
        QCOMPARE(channel.dispatched, QStringList{u"2|2|1.0"_qs});
        // What the link does with the dispatched reply:
        target.onValue(decoded(u"2"_qs, u"1.0"_qs), false);
        popup.make_popup();
        QCOMPARE(tray.balloons.size(), 1);
        QCOMPARE(tray.balloons.at(0).text, u"Licht Küche an"_qs);
        QCOMPARE(tray.hint(), u"Licht Küche an"_qs);
        QVERIFY(dialogs.boxes.isEmpty());
        QCOMPARE(popup.popupMenu()->actions().at(1)->text(), u"Licht Küche an"_qs);
        QCOMPARE(iconColour(popup.popupMenu()->actions().at(1)->icon()), iconColour(colourIcon(2)));
    }

    // ---- event sounds ----

    void soundNamesFromThemes() {
        TempProgramFolder dir;
        const auto touch = [&](const QString &relative) {
            QVERIFY(QDir(dir.path()).mkpath(QFileInfo(dir.file(relative)).path()));
            QVERIFY(writeFile(dir.file(relative), "x"));
        };
        touch(u"a/freedesktop/stereo/bell.oga"_qs);
        touch(u"a/freedesktop/stereo/window-attention.oga"_qs);
        touch(u"a/freedesktop/stereo/.hidden.oga"_qs);
        touch(u"a/other/stereo/bell.ogg"_qs);
        touch(u"a/other/stereo/alarm.clock.wav"_qs);
        touch(u"a/other/mono/mono-only.oga"_qs);
        touch(u"b/third/stereo/complete"_qs);
        QVERIFY(QDir(dir.path()).mkpath(u"a/other/stereo/folder.oga"_qs));
        CanberraEventSounds sounds({dir.file(u"a"_qs), dir.file(u"b"_qs), dir.file(u"none"_qs)});
        QCOMPARE(sounds.eventNames(),
                 (QStringList{u"alarm.clock"_qs, u"bell"_qs, u"complete"_qs, u"window-attention"_qs}));
    }

    // Whatever the machine has for sound (often nothing here), playing never fails or hangs.
    void soundsPlayWithoutDevice() {
        auto sounds = createEventSounds();
        QVERIFY(sounds);
        sounds->play(u"bell"_qs);
        sounds->play(u"Sound auswählen ..."_qs);
        sounds->play(QString());
        sounds->play(u"window-attention"_qs);
        sounds.reset();

        // What the system is asked for: a name it does not know, then the default sound.
        QMutex mutex;
        QList<QByteArray> asked;
        CanberraEventSounds known({}, [&](const QByteArray &id) {
            const QMutexLocker lock(&mutex);
            asked.append(id);
            return id == "bell" || id == "message";
        });
        const auto askedSoFar = [&] {
            const QMutexLocker lock(&mutex);
            return asked;
        };
        known.play(u"message"_qs);
        known.play(u"Sound auswählen ..."_qs);
        known.play(QString());
        const QList<QByteArray> expected{"message", "Sound auswählen ...", "bell", "", "bell"};
        QTRY_COMPARE(askedSoFar(), expected);
    }

    // The list offers the system's names but keeps what it shows; play takes the shown text.
    void soundPickerFillsAndPlays() {
        FakeEventSounds sounds;
        SoundPicker picker(sounds);
        QCOMPARE(picker.gasoundlist->currentText(), SoundPicker::kPrompt);
        picker.FillSoundList();
        QCOMPARE(picker.gasoundlist->count(), 2);
        QCOMPARE(picker.gasoundlist->itemText(1), u"message"_qs);
        QCOMPARE(picker.gasoundlist->currentText(), SoundPicker::kPrompt);
        QTest::mouseClick(picker.TeButton4, Qt::LeftButton);
        picker.gasoundlist->setCurrentIndex(1);
        picker.FillSoundList(); // opening the panel again keeps the choice
        QCOMPARE(picker.gasoundlist->currentText(), u"message"_qs);
        picker.TeButton4Click();
        picker.gasoundlist->setEditText(u"eigener Klang"_qs);
        picker.TeButton4Click();
        QCOMPARE(sounds.played, (QStringList{SoundPicker::kPrompt, u"message"_qs, u"eigener Klang"_qs}));
    }

    void soundNamesAreAView_data() {
        QTest::addColumn<QString>("stored"); // the entry's sound name, as the menu file holds it
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("kept"); // what the entry keeps and what plays
        QTest::newRow("listed") << u"message"_qs << u"Nachricht"_qs << u"message"_qs;
        QTest::newRow("listed, other case") << u"Bell"_qs << u"Glocke"_qs << u"bell"_qs;
        // A stored name that happens to be a shown name is not an event of the system: it stays.
        QTest::newRow("not listed") << u"Glocke"_qs << u"Glocke"_qs << u"Glocke"_qs;
        QTest::newRow("prompt") << SoundPicker::kPrompt << SoundPicker::kPrompt << SoundPicker::kPrompt;
    }

    // The list shows the system's names for its sounds; entries keep and play the event names.
    void soundNamesAreAView() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, kept);
        GermanEventSounds sounds;
        SoundPicker picker(sounds);
        picker.FillSoundList();
        QCOMPARE(picker.gasoundlist->itemText(0), u"Glocke"_qs);
        QCOMPARE(picker.gasoundlist->itemText(1), u"Nachricht"_qs);
        picker.showSoundName(stored);
        QCOMPARE(picker.gasoundlist->currentText(), shown);
        QCOMPARE(picker.soundName(), kept);
        picker.FillSoundList(); // the panel opened again
        QCOMPARE(picker.gasoundlist->currentText(), shown);
        QCOMPARE(picker.soundName(), kept);
        QTest::mouseClick(picker.TeButton4, Qt::LeftButton);
        QCOMPARE(sounds.played, QStringList{kept});
    }

    void germanSoundNames_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("shown");
        QTest::newRow("bell") << u"bell"_qs << u"Glocke"_qs;
        QTest::newRow("message") << u"message"_qs << u"Nachricht"_qs;
        QTest::newRow("window-attention") << u"window-attention"_qs << u"Fenster verlangt Aufmerksamkeit"_qs;
        QTest::newRow("dialog-warning") << u"dialog-warning"_qs << u"Warnung"_qs;
        QTest::newRow("unknown id") << u"x-quendra-klingel"_qs << u"x-quendra-klingel"_qs;
        QTest::newRow("the prompt") << SoundPicker::kPrompt << SoundPicker::kPrompt;
    }

    // The event ids of the freedesktop sound theme get German names; others are shown as they are.
    void germanSoundNames() {
        QFETCH(QString, event);
        QFETCH(QString, shown);
        const CanberraEventSounds sounds(QStringList{});
        QCOMPARE(sounds.displayName(event), shown);
    }

    // Every sound of the freedesktop theme installed here is offered under a German name.
    void everyFreedesktopSoundHasAGermanName() {
        const QString theme = u"/usr/share/sounds/freedesktop/stereo"_qs;
        if (!QFileInfo(theme).isDir())
            QSKIP("no freedesktop sound theme installed");
        const CanberraEventSounds sounds({u"/usr/share/sounds"_qs});
        const QDir stereo(theme);
        for (const QFileInfo &file : stereo.entryInfoList(QDir::Files))
            QVERIFY2(sounds.displayName(file.completeBaseName()) != file.completeBaseName(),
                     qPrintable(file.completeBaseName()));
    }
};

QTEST_MAIN(TestMenuPopup)
#include "tst_menupopup.moc"

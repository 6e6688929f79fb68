// The menu editor's rules without widgets: adding, changing, the add button, the button states,
// renaming, separators, moving, deleting and the truth values of the switches.
#include "MenuEditorRig.h"

#include <QFile>

using namespace MenuEditorRig;

Q_DECLARE_METATYPE(EditorButtons)

class TestMenuEditor : public QObject {
    Q_OBJECT

private slots:
    void entryTypes() {
        QCOMPARE(MenuEntryTypes::types(),
                 (QStringList{u"Schaltaktor (0/1)"_qs, u"Dimmer (Wertgeber)"_qs, u"Wert lesen"_qs}));
        QCOMPARE(MenuEntryTypes::actions(MenuEntryTypes::kSwitch), (QStringList{u"Ein"_qs, u"Aus"_qs, u"Um"_qs}));
        QCOMPARE(MenuEntryTypes::actions(MenuEntryTypes::kDimmer), QStringList{u"Frei"_qs});
        QCOMPARE(MenuEntryTypes::actions(MenuEntryTypes::kRead), QStringList{u"lesen"_qs});
        const auto pictures = [](const QString &type) {
            QList<int> result;
            for (const MenuEntryTypes::Symbol &s : MenuEntryTypes::symbols(type))
                result << s.picture;
            return result;
        };
        QCOMPARE(pictures(MenuEntryTypes::kSwitch), (QList<int>{0, 2, 4, 6, 8, 10}));
        QCOMPARE(pictures(MenuEntryTypes::kDimmer), QList<int>{12});
        QCOMPARE(pictures(MenuEntryTypes::kRead),
                 (QList<int>{16, 17, 18, 19, 20, 21, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}));
        QCOMPARE(MenuEntryTypes::symbols(MenuEntryTypes::kRead).at(7).name, u"Würfel"_qs);
        QCOMPARE(MenuEntryTypes::typeIndex(u"Dimmer (Wertgeber)"_qs), 1);
        QCOMPARE(MenuEntryTypes::typeIndex(u"-"_qs), 2);
    }

    void addEntry_data() {
        QTest::addColumn<QString>("busLine");
        QTest::addColumn<QString>("typ");
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<QString>("wert");
        QTest::addColumn<int>("symbol");
        QTest::addColumn<QString>("lv");
        QTest::addColumn<int>("stateIcon");
        QTest::addColumn<bool>("message");
        QTest::newRow("switch, on") << u"1|768|1.0"_qs << MenuEntryTypes::kSwitch << u"Ein"_qs << QString() << 4
                                    << u"1,0"_qs << 4 << false;
        QTest::newRow("switch, off") << u"1|768|0.0"_qs << MenuEntryTypes::kSwitch << u"Um"_qs << QString() << 4
                                     << u"0,0"_qs << 5 << false;
        QTest::newRow("switch, no value")
            << u"1|769|1.0"_qs << MenuEntryTypes::kSwitch << u"Aus"_qs << QString() << 6 << u"0,0"_qs << 7 << true;
        QTest::newRow("dimmer 55") << u"1|768|40"_qs << MenuEntryTypes::kDimmer << u"Frei"_qs << u"55"_qs << 12
                                   << u"40"_qs << 14 << false;
        QTest::newRow("read") << u"1|768|0.0"_qs << MenuEntryTypes::kRead << u"lesen"_qs << QString() << 16 << u"0,0"_qs
                              << 16 << false;
    }

    void addEntry() {
        QFETCH(QString, busLine);
        QFETCH(QString, typ);
        QFETCH(QString, aktion);
        QFETCH(QString, wert);
        QFETCH(int, symbol);
        QFETCH(QString, lv);
        QFETCH(int, stateIcon);
        QFETCH(bool, message);
        Rig rig;
        rig.menu.append(entry(u"Vorher"_qs));
        rig.busmoni.insertTop(busLine);
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());

        const auto k = editor.add({u"768"_qs, u"1/2/3"_qs, u"Licht Küche"_qs}, parameters(typ, aktion, symbol, wert));
        QCOMPARE(k, std::optional<qsizetype>(1));
        const MenuCommand &added = rig.menu.at(1);
        QCOMPARE(added.bezeichnung, u"Licht Küche"_qs);
        QCOMPARE(added.gan, u"768"_qs);
        QCOMPARE(added.typ, typ);
        QCOMPARE(added.aktion, aktion);
        QCOMPARE(added.wert, wert);
        QCOMPARE(added.symbol, symbol);
        QCOMPARE(added.lv, lv);
        QCOMPARE(added.stateIcon, stateIcon);
        QCOMPARE(added.soundname, u"bell"_qs);
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error), message ? QStringList{kNoValue} : QStringList());
        QCOMPARE(rig.saves, 1);
        QCOMPARE(rig.popups, 1);
        checkInSync(rig);
        QCOMPARE(rig.fileSections(), (QStringList{u"0"_qs, u"11"_qs}));
    }

    // Without a chosen symbol or without a GAN nothing is added, saved or rebuilt.
    void addRefused() {
        Rig rig;
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        QVERIFY(!editor.add({u"768"_qs, {}, u"Licht"_qs}, parameters(MenuEntryTypes::kSwitch, u"Ein"_qs, {})));
        QVERIFY(!editor.add({QString(), {}, u"Licht"_qs}, parameters(MenuEntryTypes::kSwitch, u"Ein"_qs, 0)));
        rig.menu.append(entry(u"Licht"_qs));
        QVERIFY(!editor.change(0, parameters(MenuEntryTypes::kSwitch, u"Aus"_qs, {})));
        QCOMPARE(rig.menu.size(), 1);
        QCOMPARE(rig.menu.at(0).aktion, u"Ein"_qs);
        QCOMPARE(rig.saves + rig.popups, 0);
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QVERIFY(!MenuEditor::acceptsDrop({QString(), u"Ohne Nummer"_qs, u"1/2/3"_qs}));
        QVERIFY(MenuEditor::acceptsDrop({u"0"_qs, u"Null"_qs, {}}));
    }

    // A change keeps text and GAN and takes the value of the entry's own number again.
    void changeEntry() {
        Rig rig;
        rig.menu.append(entry(u"Licht"_qs, u"Ein"_qs, 0, u"768"_qs));
        rig.menu.append(entry(u"Rollo $1"_qs, u"Um"_qs, 6, u"1536"_qs));
        rig.busmoni.insertTop(u"1|1536|1.0"_qs);
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        EntryParameters p = parameters(MenuEntryTypes::kDimmer, u"Frei"_qs, 12, u"80"_qs);
        p.balloon = true;
        p.sound = true;
        QVERIFY(editor.change(1, p));
        const MenuCommand &changed = rig.menu.at(1);
        QCOMPARE(changed.bezeichnung, u"Rollo $1"_qs);
        QCOMPARE(changed.gan, u"1536"_qs);
        QCOMPARE(changed.typ, MenuEntryTypes::kDimmer);
        QCOMPARE(changed.wert, u"80"_qs);
        QCOMPARE(changed.lv, u"1,0"_qs);
        QCOMPARE(changed.stateIcon, 13);
        QCOMPARE((QStringList{changed.balloon, changed.msg, changed.sound}),
                 (QStringList{u"True"_qs, u"False"_qs, u"True"_qs}));
        QCOMPARE(rig.saves, 1);
        QCOMPARE(rig.popups, 1);
        checkInSync(rig);
        QCOMPARE(rig.popupItems().at(1), u"Rollo auf"_qs);
    }

    void addButton_data() {
        QTest::addColumn<bool>("typeChosen");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("symbolChosen");
        QTest::addColumn<int>("expected"); // 0 disabled, 1 enabled, -1 unchanged
        QTest::addColumn<bool>("asksForValue");
        QTest::newRow("no type") << false << u"Ein"_qs << QString() << true << 0 << false;
        QTest::newRow("no action") << true << QString() << QString() << true << 0 << false;
        QTest::newRow("switch with symbol") << true << u"Ein"_qs << QString() << true << 1 << false;
        QTest::newRow("switch without symbol") << true << u"Um"_qs << QString() << false << 0 << false;
        QTest::newRow("Frei without value") << true << u"Frei"_qs << QString() << true << -1 << true;
        QTest::newRow("Frei with value") << true << u"Frei"_qs << u"55"_qs << true << 1 << false;
        QTest::newRow("Frei, no symbol yet") << true << u"Frei"_qs << u"55"_qs << false << 0 << false;
    }

    void addButton() {
        QFETCH(bool, typeChosen);
        QFETCH(QString, action);
        QFETCH(QString, value);
        QFETCH(bool, symbolChosen);
        QFETCH(int, expected);
        QFETCH(bool, asksForValue);
        Rig rig;
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        const std::optional<bool> state = editor.makepopupbtnfrei(typeChosen, action, value, symbolChosen);
        QCOMPARE(state.has_value() ? int(*state) : -1, expected);
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error),
                 asksForValue ? QStringList{u"Bitte Wert eingeben!"_qs} : QStringList());
    }

    void buttonStates_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected"); // flat position, -1 for none
        QTest::addColumn<EditorButtons>("expected");
        const QStringList three{u"Licht"_qs, u"Rollo"_qs, u"Temperatur"_qs};
        QTest::newRow("first of three") << three << 0 << EditorButtons{false, true, true, true};
        QTest::newRow("middle of three") << three << 11 << EditorButtons{true, true, true, true};
        QTest::newRow("last of three") << three << 22 << EditorButtons{true, false, true, true};
        QTest::newRow("attribute") << three << 3 << EditorButtons{false, false, false, true};
        QTest::newRow("state node") << three << 26 << EditorButtons{false, false, false, true};
        QTest::newRow("nothing selected") << three << -1 << EditorButtons{false, false, false, true};
        QTest::newRow("only entry") << QStringList{u"Licht"_qs} << 0 << EditorButtons{false, false, true, true};
        QTest::newRow("separator") << QStringList{u"Licht"_qs, u"-"_qs} << 11
                                   << EditorButtons{true, false, false, true};
        QTest::newRow("empty menu") << QStringList() << -1 << EditorButtons{};
    }

    void buttonStates() {
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(EditorButtons, expected);
        Rig rig;
        rig.menu = menuOf(entries);
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        const EditorButtons states =
            editor.btreeChange(selected < 0 ? std::nullopt : std::optional<qsizetype>(selected));
        QCOMPARE(states.auf, expected.auf);
        QCOMPARE(states.ab, expected.ab);
        QCOMPARE(states.aendern, expected.aendern);
        QCOMPARE(states.loeschen, expected.loeschen);
    }

    void rename_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("flat");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QStringList menu{u"Licht"_qs, u"Rollo"_qs, u"-"_qs};
        QTest::newRow("a name nobody has") << menu << 11 << u"Flur"_qs << u"Flur"_qs;
        QTest::newRow("entry 0 keeps its own name") << menu << 0 << u"Licht"_qs << u"Licht0"_qs;
        QTest::newRow("the action of entry 0") << menu << 11 << u"Ein"_qs << u"Ein2"_qs;
        QTest::newRow("the state node's text") << menu << 0 << u"Symbolstatus"_qs << u"Symbolstatus4"_qs;
        QTest::newRow("a separator") << menu << 22 << u"Trenner"_qs << u"Trenner"_qs;
        QTest::newRow("blank") << menu << 11 << u"  "_qs << u"Rollo"_qs;
        QTest::newRow("on and on") << QStringList{u"Licht"_qs, u"Licht0"_qs, u"Rollo"_qs} << 22 << u"Licht"_qs
                                   << u"Licht011"_qs;
    }

    // The rule walks the nodes in flat order and appends the position of every node that carries
    // the name so far; the edited node still has its old text while it runs.
    void rename() {
        QFETCH(QStringList, entries);
        QFETCH(int, flat);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Rig rig;
        rig.menu = menuOf(entries);
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        QVERIFY(editor.btreeEditing(flat));
        QCOMPARE(editor.btreeEdited(flat, text), expected);
        QCOMPARE(rig.menu.at(flat / 11).bezeichnung, expected);
        // Renamed in place: not saved, but the popup shows it (a refused blank name changes nothing).
        QCOMPARE(rig.saves, 0);
        QCOMPARE(rig.popups, text.trimmed().isEmpty() ? 0 : 1);
    }

    void editingRefused_data() {
        QTest::addColumn<int>("flat");
        QTest::addColumn<bool>("editable");
        QTest::newRow("entry") << 0 << true;
        QTest::newRow("Typ") << 1 << false;
        QTest::newRow("state node") << 4 << false;
        QTest::newRow("Soundname") << 10 << false;
        QTest::newRow("separator") << 11 << true;
        QTest::newRow("entry with the attribute marker") << 22 << false;
        QTest::newRow("entry named Symbolstatus") << 33 << false;
        QTest::newRow("past the end") << 44 << false;
    }

    void editingRefused() {
        QFETCH(int, flat);
        QFETCH(bool, editable);
        Rig rig;
        rig.menu = menuOf({u"Licht"_qs, u"-"_qs, u"Raute"_qs, u"Symbolstatus"_qs});
        rig.menu[2].symbol = MenuList::kAttributeSymbol;
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        QCOMPARE(editor.btreeEditing(flat), editable);
    }

    void separator_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty menu") << QStringList() << QStringList();
        QTest::newRow("one entry") << QStringList{u"Licht"_qs} << QStringList{u"Licht"_qs, u"-"_qs};
    }

    void separator() {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, expected);
        Rig rig;
        rig.menu = menuOf(entries);
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        QCOMPARE(editor.LiniebtnClick(), entries != expected);
        QCOMPARE(captions(rig.menu), expected);
        QCOMPARE(rig.popups, entries == expected ? 0 : 1);
        if (entries == expected) {
            QVERIFY(!QFile::exists(rig.menuFile()));
            return;
        }
        QCOMPARE(rig.menu.at(rig.menu.size() - 1), MenuCommand::separator());
        checkInSync(rig);
    }

    void move() {
        Rig rig;
        rig.menu = menuOf({u"A"_qs, u"B"_qs, u"C"_qs});
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        QVERIFY(editor.moveUp(2));
        QCOMPARE(captions(rig.menu), (QStringList{u"A"_qs, u"C"_qs, u"B"_qs}));
        checkInSync(rig);
        QVERIFY(editor.moveDown(0));
        QCOMPARE(captions(rig.menu), (QStringList{u"C"_qs, u"A"_qs, u"B"_qs}));
        checkInSync(rig);
        QVERIFY(!editor.moveUp(0));
        QVERIFY(!editor.moveDown(2));
        QCOMPARE(rig.saves, 2);
        QCOMPARE(rig.popups, 2);
    }

    void remove_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QStringList>("sections");
        QTest::newRow("the only entry") << QStringList{u"Licht"_qs} << 0 << true << QStringList() << QStringList();
        QTest::newRow("the middle one") << QStringList{u"A"_qs, u"B"_qs, u"C"_qs} << 11 << true
                                        << QStringList{u"A"_qs, u"C"_qs} << QStringList{u"0"_qs, u"11"_qs};
        QTest::newRow("cancelled") << QStringList{u"Licht"_qs} << 0 << false << QStringList{u"Licht"_qs}
                                   << QStringList{u"0"_qs};
        QTest::newRow("an attribute") << QStringList{u"Licht"_qs} << 5 << true << QStringList{u"Licht"_qs}
                                      << QStringList{u"0"_qs};
    }

    void remove() {
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(bool, answer);
        QFETCH(QStringList, remaining);
        QFETCH(QStringList, sections);
        Rig rig;
        rig.menu = menuOf(entries);
        QVERIFY(saveMenuFile(rig.menuFile(), rig.menu));
        rig.dialogs.answers = {answer};
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        QCOMPARE(editor.deltebtnClick(selected), entries != remaining);
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{u"Wirklich löschen?"_qs});
        QCOMPARE(captions(rig.menu), remaining);
        QCOMPARE(rig.fileSections(), sections);
        QCOMPARE(rig.popups, entries == remaining ? 0 : 1);
        if (!remaining.isEmpty())
            QCOMPARE(captions(LoadMenuFile(rig.menuFile()).menu), remaining);
    }

    void truthValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1 none
        QTest::newRow("True") << u"True"_qs << 1;
        QTest::newRow("false") << u"false"_qs << 0;
        QTest::newRow("TRUE") << u"TRUE"_qs << 1;
        QTest::newRow("0") << u"0"_qs << 0;
        QTest::newRow("-1") << u"-1"_qs << 1;
        QTest::newRow("0,5") << u"0,5"_qs << 1;
        QTest::newRow("ja") << u"ja"_qs << -1;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("Truex") << u"Truex"_qs << -1;
    }

    void truthValues() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<bool> value = MenuEditor::truthValue(text);
        QCOMPARE(value.has_value() ? int(*value) : -1, expected);
    }

    // A hand-edited switch that is no truth value: an error, nothing to open.
    void openForChange() {
        Rig rig;
        rig.menu.append(entry(u"Licht"_qs));
        rig.menu[0].msg = u"1"_qs;
        rig.menu[0].soundname = u"Glocke"_qs;
        rig.menu.append(entry(u"Kaputt"_qs));
        rig.menu[1].sound = u"vielleicht"_qs;
        MenuEditor editor(rig.menu, rig.dialogs, rig.hooks());
        const std::optional<EntryParameters> opened = editor.openForChange(0);
        QVERIFY(opened);
        QCOMPARE(opened->typ, MenuEntryTypes::kSwitch);
        QCOMPARE(opened->aktion, u"Ein"_qs);
        QVERIFY(!opened->balloon && opened->msg && !opened->sound);
        QCOMPARE(opened->soundname, u"Glocke"_qs);
        QVERIFY(rig.dialogs.boxes.isEmpty());
        QVERIFY(!editor.openForChange(1));
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(rig.dialogs.texts(FakeDialogs::Kind::Error).at(0).contains(u"vielleicht"_qs));
    }
};

QTEST_MAIN(TestMenuEditor)
#include "tst_menueditor.moc"

#include "BusMonitor.h"
#include "FakePlatform.h"
#include "IniFile.h"
#include "MenuEditor.h"
#include "MenuEditorPanel.h"
#include "MenuFile.h"
#include "MenuTreeModel.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"
#include "WidgetDriving.h"
#include "WildcardDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

namespace {
const QString kNoValue = QStringLiteral("Konnte KO Wert nicht ermitteln.\rKO Wert auf 0 gesetzt!");

MenuCommand entry(const QString &text, const QString &aktion = QStringLiteral("Ein"), int symbol = 0,
                  const QString &gan = QStringLiteral("768")) {
    MenuCommand c;
    c.bezeichnung = text;
    c.typ = aktion == u"Frei"_qs    ? MenuEntryTypes::kDimmer
            : aktion == u"lesen"_qs ? MenuEntryTypes::kRead
                                    : MenuEntryTypes::kSwitch;
    c.aktion = aktion;
    c.symbol = symbol;
    c.stateIcon = symbol;
    c.gan = gan;
    c.lv = u"0,0"_qs;
    return c;
}

MenuList menuOf(const QStringList &texts) {
    MenuList menu;
    for (const QString &text : texts)
        menu.append(text == u"-"_qs ? MenuCommand::separator() : entry(text));
    return menu;
}

QStringList captions(const MenuList &menu) {
    QStringList texts;
    for (const MenuCommand &c : menu)
        texts << c.bezeichnung;
    return texts;
}

// The menu as the file gives it back: the state icon is not stored.
MenuList asStored(MenuList menu) {
    for (qsizetype k = 0; k < menu.size(); ++k)
        menu[k].stateIcon = menu.at(k).symbol;
    return menu;
}

// Drag data as the catalogue tree writes it for an object.
std::unique_ptr<QMimeData> objectData(const QString &gan, const QString &name, const QString &ga = u"1/2/3"_qs) {
    auto data = std::make_unique<QMimeData>();
    writeDraggedObject(*data, {gan, ga, name});
    return data;
}

// The menu, its file, the bus monitor behind getlv and the tray popup, as the program joins them.
struct Rig {
    TempProgramFolder folder;
    MenuList menu;
    FakeDialogs dialogs;
    FakeEventSounds sounds;
    BusMonitor busmoni;
    WildcardTexts texts;
    TrayPopup popup{menu, texts};
    int saves = 0;
    int popups = 0;

    QString menuFile() const { return folder.file(kMenuFileName); }
    MenuEditor::Hooks hooks() {
        return {[this](const QString &gan) { return getlv(busmoni, gan, dialogs); },
                [this] {
                    ++saves;
                    saveMenuFile(menuFile(), menu);
                },
                [this] {
                    ++popups;
                    popup.make_popup();
                },
                [this] {
                    return menuFile();
                }};
    }
    QStringList popupItems() const {
        QStringList items;
        for (const QAction *action : popup.popupMenu()->actions())
            items << (action->isSeparator() ? u"-"_qs : action->text());
        return items;
    }
    QStringList fileSections() const { return IniFile(menuFile()).sections(); }
};

// The file holds exactly the menu, and the popup shows it with the values worked in.
void checkInSync(const Rig &rig) {
    const MenuFileContent stored = LoadMenuFile(rig.menuFile());
    QCOMPARE(stored.menu, asStored(rig.menu));
    QStringList expected;
    for (const MenuCommand &c : rig.menu)
        expected << popupCaption(c.bezeichnung, c.lv, rig.texts);
    QCOMPARE(rig.popupItems(), expected);
}

EntryParameters parameters(const QString &typ, const QString &aktion, std::optional<int> symbol,
                           const QString &wert = {}) {
    EntryParameters p;
    p.typ = typ;
    p.aktion = aktion;
    p.symbol = symbol;
    p.wert = wert;
    p.soundname = u"bell"_qs;
    return p;
}
} // namespace

Q_DECLARE_METATYPE(EditorButtons)

class TestMenuEditor : public QObject {
    Q_OBJECT

private:
    // The panel with the rig behind it, its tree showing the rig's menu.
    struct PanelRig : Rig {
        MenuTreeModel model{menu};
        MenuEditorPanel panel{menu, model, dialogs, sounds, hooks()};
        PanelRig() { panel.resize(320, 600); }
        template <typename W> W *find(const QString &name) const { return WidgetDriving::named<W>(&panel, name); }
        QTreeView *btree() const { return find<QTreeView>(u"btree"_qs); }
        QWidget *parapanel() const { return find<QWidget>(u"parapanel"_qs); }
        QPushButton *button(const QString &name) const { return find<QPushButton>(name); }
        QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }

        // Drags the data over the tree and drops it, as a drag from the catalogue arrives.
        bool drop(const QMimeData &data) { return WidgetDriving::dropOnto(btree()->viewport(), data); }
        void choose(const QString &comboName, const QString &text) { WidgetDriving::choose(combo(comboName), text); }
        void select(qsizetype flat) { btree()->setCurrentIndex(model.indexOf(flat)); }
    };

private slots:
    // ---- the rules ----

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

    // ---- the panel ----

    void panelControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Aufbtn") << u"Aufbtn"_qs << u"Auf"_qs << u"Befehl hochschieben"_qs << false;
        QTest::newRow("Abbtn") << u"Abbtn"_qs << u"Ab"_qs << u"Befehl runterschieben"_qs << false;
        QTest::newRow("Liniebtn") << u"Liniebtn"_qs << u"Trennlinie"_qs << u"Trennlinie hinzufügen"_qs << true;
        QTest::newRow("aendernbtn") << u"aendernbtn"_qs << u"Ändern"_qs << QString() << false;
        QTest::newRow("deltebtn") << u"deltebtn"_qs << u"Löschen"_qs << u"Befehl löschen"_qs << false;
        QTest::newRow("hinzubtn") << u"hinzubtn"_qs << u"Hinzufügen"_qs << u"Befehl zum Kotextmenü hinzufügen"_qs
                                  << false;
        QTest::newRow("zurueckbtn") << u"zurueckbtn"_qs << u"Zurück"_qs << QString() << true;
        QTest::newRow("gasound") << u"gasound"_qs << u"Sound abspielen"_qs << QString() << true;
        QTest::newRow("gaballoon") << u"gaballoon"_qs << u"Balloon für GA"_qs << QString() << true;
        QTest::newRow("gaMsg") << u"gaMsg"_qs << u"Wichtige Meldung erzeugen"_qs << QString() << true;
        QTest::newRow("Typ1") << u"Typ1"_qs << u"Typ"_qs << u"Hier den Typ des Gerätes angeben"_qs << false;
        QTest::newRow("Aktion1") << u"Aktion1"_qs << u"Aktion"_qs << u"Was soll beim anklicken passieren"_qs << true;
        QTest::newRow("xwert") << u"xwert"_qs << u"Wert"_qs << u"Freien Wert eingeben"_qs << true;
        QTest::newRow("Symbol1") << u"Symbol1"_qs << u"Symbol"_qs << QString() << false;
        QTest::newRow("gasoundlist") << u"gasoundlist"_qs << u"Sound"_qs << QString() << true;
        QTest::newRow("TeButton4") << u"TeButton4"_qs << u"Play"_qs << u"Play"_qs << true;
    }

    // Every control by its name, caption, hint and initial state; screen readers find it by its text.
    void panelControls() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(bool, enabled);
        PanelRig rig;
        QWidget *control = rig.find<QWidget>(name);
        QVERIFY(control);
        QCOMPARE(control->accessibleName(), caption);
        if (auto *b = qobject_cast<QAbstractButton *>(control); b && name != u"TeButton4"_qs)
            QCOMPARE(b->text(), caption);
        QCOMPARE(control->toolTip(), hint);
        QCOMPARE(control->isEnabled(), enabled);
    }

    void panelStartsClosed() {
        PanelRig rig;
        rig.panel.show();
        QVERIFY(rig.parapanel()->isHidden());
        QVERIFY(rig.btree()->isVisible());
        QVERIFY(rig.find<QLineEdit>(u"xwert"_qs)->isHidden());
        QVERIFY(rig.find<QLabel>(u"xwertlabel"_qs)->isHidden());
        QCOMPARE(rig.combo(u"Typ1"_qs)->count(), 3);
        QCOMPARE(rig.combo(u"gasoundlist"_qs)->currentText(), u"Sound auswählen ..."_qs);
        QVERIFY(rig.find<QLabel>(u"Bez"_qs)->font().bold());
        QStringList legend;
        for (const QLabel *label : rig.panel.findChild<QWidget *>(u"wildcardLegend"_qs)->findChildren<QLabel *>())
            legend << label->text();
        QCOMPARE(legend, (QStringList{u"$ = Wert 1=1/0=0"_qs, u"$1 1=auf/0=zu"_qs, u"$2 1=oben/0=unten"_qs,
                                      u"$3 1=an/0=aus"_qs, u"$4 Wert ohne Komma"_qs, u"$5 Wert Hex umw."_qs}));
        // The labels of the panel's fields lead to their fields.
        for (const QString &field : {u"Typ1"_qs, u"Aktion1"_qs, u"xwert"_qs, u"Symbol1"_qs}) {
            bool labelled = false;
            for (const QLabel *label : rig.parapanel()->findChildren<QLabel *>())
                labelled = labelled || label->buddy() == rig.find<QWidget>(field);
            QVERIFY2(labelled, qPrintable(field));
        }
    }

    void dropRefused_data() {
        QTest::addColumn<QString>("gan");
        QTest::addColumn<bool>("ownFormat");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("object with GAN") << u"768"_qs << true << true;
        QTest::newRow("object without GAN") << QString() << true << false;
        QTest::newRow("something else") << u"768"_qs << false << false;
    }

    void dropRefused() {
        QFETCH(QString, gan);
        QFETCH(bool, ownFormat);
        QFETCH(bool, accepted);
        PanelRig rig;
        rig.panel.show();
        std::unique_ptr<QMimeData> data = objectData(gan, u"Licht Küche"_qs);
        if (!ownFormat) {
            data = std::make_unique<QMimeData>();
            data->setText(u"768\nLicht Küche\n1/2/3"_qs);
        }
        QCOMPARE(rig.drop(*data), accepted);
        QCOMPARE(rig.parapanel()->isVisible(), accepted);
        // The keyboard's way in refuses the same, and nothing while the panel is open.
        if (accepted || gan.isEmpty())
            QVERIFY(!rig.panel.dropObject({gan, {}, u"Licht Küche"_qs}));
    }

    // An entry of the menu dragged onto the menu is no object of the catalogue.
    void dropFromTheMenuItself() {
        PanelRig rig;
        rig.menu = menuOf({u"Licht"_qs});
        rig.model.reload();
        rig.panel.show();
        std::unique_ptr<QMimeData> data(rig.model.mimeData({rig.model.indexOf(0)}));
        QVERIFY(data);
        QVERIFY(!rig.drop(*data));
        QVERIFY(rig.parapanel()->isHidden());
    }

    // Drop, add a switch, a dimmer with 55 and a read entry; change one, move, separate, rename and
    // delete: after every step the file and the popup show what the tree shows.
    void buildMenu() {
        PanelRig rig;
        rig.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.panel));
        QPushButton *hinzubtn = rig.button(u"hinzubtn"_qs);
        QComboBox *symbols = rig.combo(u"Symbol1"_qs);
        rig.busmoni.insertTop(u"1|768|1.0"_qs);
        rig.busmoni.insertTop(u"1|1000|40"_qs);

        // A switch: its first action is chosen at once; no symbol, no adding.
        rig.find<QCheckBox>(u"gaMsg"_qs)->setChecked(true);
        QVERIFY(rig.drop(*objectData(u"768"_qs, u"Licht Küche"_qs)));
        QVERIFY(rig.parapanel()->isVisible());
        QCOMPARE(rig.find<QLabel>(u"Bez"_qs)->text(), u"Licht Küche"_qs);
        QCOMPARE(rig.combo(u"Typ1"_qs)->currentText(), MenuEntryTypes::kSwitch);
        QCOMPARE(rig.combo(u"Aktion1"_qs)->currentText(), u"Ein"_qs);
        QCOMPARE(rig.combo(u"gasoundlist"_qs)->count(), 2); // the system's names
        QVERIFY(!hinzubtn->isEnabled());
        rig.choose(u"Aktion1"_qs, u"Aus"_qs);
        rig.choose(u"Symbol1"_qs, u"Steckdose"_qs);
        QVERIFY(hinzubtn->isEnabled());
        QTest::mouseClick(hinzubtn, Qt::LeftButton);
        QVERIFY(rig.parapanel()->isHidden());
        QCOMPARE(captions(rig.menu), QStringList{u"Licht Küche"_qs});
        QCOMPARE(rig.menu.at(0).aktion, u"Aus"_qs);
        QCOMPARE(rig.menu.at(0).symbol, 4);
        QCOMPARE(rig.menu.at(0).lv, u"1,0"_qs);
        QCOMPARE(rig.menu.at(0).msg, u"True"_qs);
        QCOMPARE(rig.btree()->currentIndex(), rig.model.indexOf(0));
        QCOMPARE(rig.popups, 1);
        checkInSync(rig);
        QCOMPARE(rig.popupItems(), QStringList{u"Licht Küche 1,0"_qs});

        // A dimmer with the value 55: the symbol list waits for the value.
        QVERIFY(rig.drop(*objectData(u"1000"_qs, u"Dimmer Flur"_qs)));
        rig.choose(u"Typ1"_qs, MenuEntryTypes::kDimmer);
        QVERIFY(!hinzubtn->isEnabled());
        rig.choose(u"Aktion1"_qs, u"Frei"_qs);
        QVERIFY(rig.find<QLineEdit>(u"xwert"_qs)->isVisible());
        QVERIFY(!symbols->isEnabled());
        QTest::keyClicks(rig.find<QLineEdit>(u"xwert"_qs), u"55"_qs);
        rig.choose(u"Symbol1"_qs, u"Dimmer"_qs);
        QVERIFY(hinzubtn->isEnabled());
        hinzubtn->click();
        QCOMPARE(rig.menu.at(1).wert, u"55"_qs);
        QCOMPARE(rig.menu.at(1).lv, u"40"_qs);
        QCOMPARE(rig.menu.at(1).stateIcon, 14);
        QCOMPARE(rig.popups, 2);
        checkInSync(rig);
        // The finish leaves the lists at the switch type, the symbol list closed and empty-handed.
        QCOMPARE(rig.combo(u"Typ1"_qs)->currentText(), MenuEntryTypes::kSwitch);
        QCOMPARE(rig.combo(u"Aktion1"_qs)->currentText(), u"Ein"_qs);
        QCOMPARE(symbols->currentIndex(), -1);
        QVERIFY(!symbols->isEnabled());
        QVERIFY(rig.find<QLineEdit>(u"xwert"_qs)->text().isEmpty());

        // A read entry for a number the bus has not shown: the message, and the value 0,0.
        QVERIFY(rig.drop(*objectData(u"2000"_qs, u"Temperatur $4 °C"_qs)));
        rig.choose(u"Typ1"_qs, MenuEntryTypes::kRead);
        rig.choose(u"Aktion1"_qs, u"lesen"_qs);
        rig.choose(u"Symbol1"_qs, u"Temperatur"_qs);
        hinzubtn->click();
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error), QStringList{kNoValue});
        QCOMPARE(rig.menu.at(2).stateIcon, 16);
        QCOMPARE(rig.popups, 3);
        checkInSync(rig);
        QCOMPARE(rig.popupItems(), (QStringList{u"Licht Küche 1,0"_qs, u"Dimmer Flur 40"_qs, u"Temperatur 0 °C"_qs}));

        // Change the switch: the panel shows it, its symbol already chosen (its icon shows "on").
        rig.select(0);
        QVERIFY(rig.button(u"aendernbtn"_qs)->isEnabled());
        rig.button(u"aendernbtn"_qs)->click();
        QCOMPARE(hinzubtn->text(), u"Ändern"_qs);
        QCOMPARE(rig.combo(u"Aktion1"_qs)->currentText(), u"Aus"_qs);
        QCOMPARE(symbols->currentText(), u"Steckdose"_qs);
        QVERIFY(rig.find<QCheckBox>(u"gaMsg"_qs)->isChecked());
        QVERIFY(hinzubtn->isEnabled());
        rig.choose(u"Aktion1"_qs, u"Um"_qs);
        rig.find<QCheckBox>(u"gaballoon"_qs)->click();
        hinzubtn->click();
        QCOMPARE(rig.menu.at(0).bezeichnung, u"Licht Küche"_qs);
        QCOMPARE(rig.menu.at(0).aktion, u"Um"_qs);
        QCOMPARE(rig.menu.at(0).balloon, u"True"_qs);
        QCOMPARE(rig.popups, 4);
        checkInSync(rig);

        // Move the read entry up with the keys, and down again with the button.
        rig.select(22);
        rig.btree()->setFocus();
        QTest::keyClick(rig.btree(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(captions(rig.menu), (QStringList{u"Licht Küche"_qs, u"Temperatur $4 °C"_qs, u"Dimmer Flur"_qs}));
        QCOMPARE(rig.btree()->currentIndex(), rig.model.indexOf(11));
        QCOMPARE(rig.popups, 5);
        checkInSync(rig);
        rig.button(u"Abbtn"_qs)->click();
        QCOMPARE(captions(rig.menu), (QStringList{u"Licht Küche"_qs, u"Dimmer Flur"_qs, u"Temperatur $4 °C"_qs}));
        QVERIFY(!rig.button(u"Abbtn"_qs)->isEnabled());
        QCOMPARE(rig.popups, 6);
        checkInSync(rig);

        // A separator at the end.
        rig.button(u"Liniebtn"_qs)->click();
        QCOMPARE(rig.menu.at(3), MenuCommand::separator());
        QCOMPARE(rig.popupItems().last(), u"-"_qs);
        QCOMPARE(rig.popups, 7);
        checkInSync(rig);

        // Rename in place with F2: the entry's own name gets its position; not saved.
        const int savesBefore = rig.saves;
        rig.select(0);
        QTest::keyClick(rig.btree(), Qt::Key_F2);
        auto *editor = rig.btree()->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(u"Licht Küche"_qs);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(rig.menu.at(0).bezeichnung, u"Licht Küche0"_qs);
        QCOMPARE(rig.popupItems().at(0), u"Licht Küche0 1,0"_qs);
        QCOMPARE(rig.popups, 8);
        QCOMPARE(rig.saves, savesBefore);
        // Attributes are not renamed.
        QTRY_VERIFY(!rig.btree()->viewport()->findChild<QLineEdit *>());
        rig.select(1);
        QTest::keyClick(rig.btree(), Qt::Key_F2);
        QVERIFY(!rig.btree()->viewport()->findChild<QLineEdit *>());

        // Delete the dimmer with the Delete key: cancelled first, then confirmed.
        rig.select(11);
        rig.dialogs.answers = {false, true};
        QTest::keyClick(rig.btree(), Qt::Key_Delete);
        QCOMPARE(rig.menu.size(), 4);
        QTest::keyClick(rig.btree(), Qt::Key_Delete);
        QCOMPARE(captions(rig.menu), (QStringList{u"Licht Küche0"_qs, u"Temperatur $4 °C"_qs, u"-"_qs}));
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Confirm).size(), 2);
        QCOMPARE(rig.btree()->currentIndex(), rig.model.indexOf(11));
        QCOMPARE(rig.popups, 9);
        checkInSync(rig);
        QCOMPARE(rig.fileSections(), (QStringList{u"0"_qs, u"11"_qs, u"22"_qs}));
    }

    // "Ändern" on a hand-edited entry whose switches are no truth values: an error, the panel stays closed.
    void changeRefusedForBadFlags() {
        PanelRig rig;
        rig.menu = menuOf({u"Licht"_qs});
        rig.menu[0].balloon = u"ja"_qs;
        rig.model.reload();
        rig.panel.show();
        rig.select(0);
        rig.button(u"aendernbtn"_qs)->click();
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(rig.parapanel()->isHidden());
        QCOMPARE(rig.button(u"hinzubtn"_qs)->text(), u"Hinzufügen"_qs);
        QCOMPARE(rig.saves + rig.popups, 0);
    }

    // A dimmer without value asks for one at the next button check and cannot be added.
    void freeValueRequired() {
        PanelRig rig;
        rig.panel.show();
        QVERIFY(rig.panel.dropObject({u"1000"_qs, {}, u"Dimmer"_qs}));
        rig.choose(u"Typ1"_qs, MenuEntryTypes::kDimmer);
        rig.choose(u"Aktion1"_qs, u"Frei"_qs);
        rig.find<QCheckBox>(u"gaballoon"_qs)->click();
        QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error), QStringList{u"Bitte Wert eingeben!"_qs});
        QVERIFY(!rig.button(u"hinzubtn"_qs)->isEnabled());
        QVERIFY(rig.menu.isEmpty());
    }

    // "Zurück" after a drop closes the panel and adds nothing.
    void backAddsNothing() {
        PanelRig rig;
        rig.panel.show();
        QVERIFY(rig.drop(*objectData(u"768"_qs, u"Licht"_qs)));
        rig.choose(u"Symbol1"_qs, u"Lampe 1"_qs);
        QVERIFY(rig.button(u"hinzubtn"_qs)->isEnabled());
        rig.button(u"zurueckbtn"_qs)->click();
        QVERIFY(rig.parapanel()->isHidden());
        QVERIFY(rig.find<QLabel>(u"Bez"_qs)->text().isEmpty());
        QVERIFY(rig.menu.isEmpty());
        QCOMPARE(rig.saves + rig.popups, 0);
        QVERIFY(!QFile::exists(rig.menuFile()));
    }

    void openForChangeShowsTheEntry_data() {
        QTest::addColumn<QString>("aktion");
        QTest::addColumn<int>("symbol");
        QTest::addColumn<int>("stateIcon");
        QTest::addColumn<QString>("chosenSymbol"); // empty: none chosen yet
        QTest::addColumn<bool>("valueShown");
        QTest::newRow("switch showing on") << u"Ein"_qs << 4 << 4 << u"Steckdose"_qs << false;
        QTest::newRow("switch showing off") << u"Aus"_qs << 4 << 5 << u"Steckdose"_qs << false;
        QTest::newRow("dimmer") << u"Frei"_qs << 12 << 14 << u"Dimmer"_qs << true;
        QTest::newRow("read") << u"lesen"_qs << 20 << 20 << u"Cam"_qs << false;
        // A hand-edited file can give an entry a symbol its type does not offer.
        QTest::newRow("read with a switch symbol") << u"lesen"_qs << 4 << 4 << QString() << false;
    }

    // "Ändern" shows the entry with its action and its own symbol chosen, whatever state its icon
    // shows; only a symbol the type does not offer is left to the user, and the button says so.
    // The value stays.
    void openForChangeShowsTheEntry() {
        QFETCH(QString, aktion);
        QFETCH(int, symbol);
        QFETCH(int, stateIcon);
        QFETCH(QString, chosenSymbol);
        QFETCH(bool, valueShown);
        PanelRig rig;
        rig.menu.append(entry(u"Gerät"_qs, aktion, symbol));
        rig.menu[0].stateIcon = stateIcon;
        rig.menu[0].wert = aktion == u"Frei"_qs ? u"55"_qs : QString();
        rig.model.reload();
        rig.panel.show();
        rig.select(0);
        rig.button(u"aendernbtn"_qs)->click();
        QVERIFY(rig.parapanel()->isVisible());
        QCOMPARE(rig.find<QLabel>(u"Bez"_qs)->text(), u"Gerät"_qs);
        QCOMPARE(rig.combo(u"Typ1"_qs)->currentText(), rig.menu.at(0).typ);
        QCOMPARE(rig.combo(u"Aktion1"_qs)->currentText(), aktion);
        QCOMPARE(rig.combo(u"Symbol1"_qs)->currentText(), chosenSymbol);
        QVERIFY(rig.combo(u"Symbol1"_qs)->isEnabled());
        QCOMPARE(rig.find<QLineEdit>(u"xwert"_qs)->isVisible(), valueShown);
        QPushButton *hinzubtn = rig.button(u"hinzubtn"_qs);
        QCOMPARE(hinzubtn->isEnabled(), !chosenSymbol.isEmpty());
        QCOMPARE(hinzubtn->toolTip(),
                 chosenSymbol.isEmpty() ? u"Bitte ein Symbol wählen"_qs : u"Befehl zum Kotextmenü hinzufügen"_qs);
        if (chosenSymbol.isEmpty())
            rig.choose(u"Symbol1"_qs, rig.combo(u"Symbol1"_qs)->itemText(0));
        QVERIFY(hinzubtn->isEnabled());
        QCOMPARE(hinzubtn->toolTip(), u"Befehl zum Kotextmenü hinzufügen"_qs);
        hinzubtn->click();
        QCOMPARE(rig.menu.at(0).aktion, aktion);
        QCOMPARE(rig.menu.at(0).wert, rig.menu.at(0).aktion == u"Frei"_qs ? u"55"_qs : QString());
        QCOMPARE(rig.popups, 1);
        checkInSync(rig);
    }

    // A stored sound name is found whatever its case; one the system does not offer stays as stored.
    void changeShowsTheSoundName_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("shown");
        QTest::newRow("listed") << u"Message"_qs << 1 << u"message"_qs;
        QTest::newRow("not listed") << u"Glocke"_qs << -1 << u"Glocke"_qs;
    }

    void changeShowsTheSoundName() {
        QFETCH(QString, stored);
        QFETCH(int, item);
        QFETCH(QString, shown);
        PanelRig rig;
        rig.menu = menuOf({u"Licht"_qs});
        rig.menu[0].soundname = stored;
        rig.model.reload();
        rig.select(0);
        rig.button(u"aendernbtn"_qs)->click();
        QCOMPARE(rig.combo(u"gasoundlist"_qs)->currentIndex(), item);
        QCOMPARE(rig.combo(u"gasoundlist"_qs)->currentText(), shown);
    }

    void symbolHint_data() {
        QTest::addColumn<QString>("typ");
        QTest::addColumn<QString>("aktion"); // empty: none chosen yet
        QTest::addColumn<QString>("wert");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("back"); // leaves with "Zurück" instead of choosing a symbol
        const QString kSwitch = MenuEntryTypes::kSwitch;
        QTest::newRow("switch, its first action") << kSwitch << u"Ein"_qs << QString() << true << false;
        QTest::newRow("switch, then back") << kSwitch << u"Um"_qs << QString() << true << true;
        QTest::newRow("read") << MenuEntryTypes::kRead << u"lesen"_qs << QString() << true << false;
        QTest::newRow("read, no action yet") << MenuEntryTypes::kRead << QString() << QString() << false << false;
        QTest::newRow("dimmer with a value") << MenuEntryTypes::kDimmer << u"Frei"_qs << u"55"_qs << true << false;
        // The value is what is missing here; the symbol list waits for it.
        QTest::newRow("dimmer without value") << MenuEntryTypes::kDimmer << u"Frei"_qs << QString() << false << false;
    }

    // When the symbol is the one thing missing, the greyed button says so in its hint and the
    // window's status line asks for it; choosing one, or leaving, takes the request away.
    void symbolHint() {
        QFETCH(QString, typ);
        QFETCH(QString, aktion);
        QFETCH(QString, wert);
        QFETCH(bool, asked);
        QFETCH(bool, back);
        PanelRig rig;
        QMainWindow window;
        QStatusBar *statusLine = window.statusBar();
        window.setCentralWidget(&rig.panel);
        const auto giveBack = qScopeGuard([&] { rig.panel.setParent(nullptr); });
        window.show();
        QPushButton *hinzubtn = rig.button(u"hinzubtn"_qs);
        const QString addHint = u"Befehl zum Kotextmenü hinzufügen"_qs;
        const QString chooseSymbol = u"Bitte ein Symbol wählen"_qs;

        QVERIFY(rig.panel.dropObject({u"768"_qs, {}, u"Licht"_qs}));
        if (rig.combo(u"Typ1"_qs)->currentText() != typ)
            rig.choose(u"Typ1"_qs, typ);
        if (!aktion.isEmpty() && rig.combo(u"Aktion1"_qs)->currentText() != aktion)
            rig.choose(u"Aktion1"_qs, aktion);
        if (!wert.isEmpty())
            QTest::keyClicks(rig.find<QLineEdit>(u"xwert"_qs), wert);
        QVERIFY(!hinzubtn->isEnabled());
        QCOMPARE(statusLine->currentMessage(), asked ? chooseSymbol : QString());
        QCOMPARE(hinzubtn->toolTip(), asked ? chooseSymbol : addHint);
        QCOMPARE(hinzubtn->accessibleDescription(), hinzubtn->toolTip());
        QVERIFY(rig.dialogs.boxes.isEmpty());
        if (!asked)
            return;

        if (back) {
            rig.button(u"zurueckbtn"_qs)->click();
        } else {
            rig.choose(u"Symbol1"_qs, rig.combo(u"Symbol1"_qs)->itemText(0));
            QVERIFY(hinzubtn->isEnabled());
        }
        QCOMPARE(statusLine->currentMessage(), QString());
        QCOMPARE(hinzubtn->toolTip(), addHint);
        QCOMPARE(hinzubtn->accessibleDescription(), addHint);
    }

    // The panel tells screen readers which object its parameters are for, and keeps objects off
    // the menu while it is open, saying why.
    void panelNamesItsObject() {
        PanelRig rig;
        rig.menu = menuOf({u"Licht Flur"_qs});
        rig.model.reload();
        rig.panel.show();
        QWidget *parapanel = rig.parapanel();
        QVERIFY(rig.panel.dropRefusal().isEmpty());
        QVERIFY(rig.panel.dropObject({u"768"_qs, {}, u"Licht Küche"_qs}));
        QCOMPARE(parapanel->accessibleName(), u"Parameter für Licht Küche"_qs);
        QCOMPARE(parapanel->accessibleDescription(), u"Hinzufügen"_qs);
        QCOMPARE(rig.panel.dropRefusal(), u"erst Parameter abschließen"_qs);
        QVERIFY(!rig.panel.dropObject({u"769"_qs, {}, u"Rollo"_qs}));
        rig.button(u"zurueckbtn"_qs)->click();
        QCOMPARE(parapanel->accessibleName(), u"Parameter"_qs);
        QVERIFY(rig.panel.dropRefusal().isEmpty());

        rig.select(0);
        rig.button(u"aendernbtn"_qs)->click();
        QCOMPARE(parapanel->accessibleName(), u"Parameter für Licht Flur"_qs);
        QCOMPARE(parapanel->accessibleDescription(), u"Ändern"_qs);
    }

    // The sound list shows the system's names; the entry and its file keep the event name, and
    // "Ändern" shows the name again.
    void soundKeptByItsEventName() {
        struct GermanEventSounds : FakeEventSounds {
            QString displayName(const QString &eventName) const override {
                return eventName == u"message"_qs ? u"Nachricht"_qs : eventName;
            }
        } sounds;
        Rig rig;
        MenuTreeModel model{rig.menu};
        MenuEditorPanel panel{rig.menu, model, rig.dialogs, sounds, rig.hooks()};
        panel.show();
        rig.busmoni.insertTop(u"1|768|1.0"_qs);
        QVERIFY(panel.dropObject({u"768"_qs, {}, u"Licht"_qs}));
        auto *soundList = WidgetDriving::named<QComboBox>(&panel, u"gasoundlist"_qs);
        WidgetDriving::choose(WidgetDriving::named<QComboBox>(&panel, u"Symbol1"_qs), u"Lampe 1"_qs);
        WidgetDriving::choose(soundList, u"Nachricht"_qs);
        WidgetDriving::named<QPushButton>(&panel, u"hinzubtn"_qs)->click();
        QCOMPARE(rig.menu.at(0).soundname, u"message"_qs);
        QCOMPARE(LoadMenuFile(rig.menuFile()).menu.at(0).soundname, u"message"_qs);

        auto *tree = WidgetDriving::named<QTreeView>(&panel, u"btree"_qs);
        tree->setCurrentIndex(model.indexOf(0));
        WidgetDriving::named<QPushButton>(&panel, u"aendernbtn"_qs)->click();
        QCOMPARE(soundList->currentText(), u"Nachricht"_qs);
        WidgetDriving::named<QPushButton>(&panel, u"hinzubtn"_qs)->click();
        QCOMPARE(rig.menu.at(0).soundname, u"message"_qs);
    }

    // Loading the menu anew under an open change closes the panel: its entry may be gone.
    void reloadClosesTheChange() {
        PanelRig rig;
        rig.menu = menuOf({u"Licht"_qs, u"Rollo"_qs});
        rig.model.reload();
        rig.select(11);
        rig.button(u"aendernbtn"_qs)->click();
        QVERIFY(!rig.parapanel()->isHidden());
        rig.menu = menuOf({u"Licht"_qs});
        rig.model.reload();
        QVERIFY(rig.parapanel()->isHidden());
        QVERIFY(!rig.button(u"aendernbtn"_qs)->isEnabled());
    }

    // ---- the wildcard texts dialog ----

    void wildcardDialogLoads_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown");
        const QStringList defaults{u"auf"_qs, u"zu"_qs, u"oben"_qs, u"unten"_qs, u"an"_qs, u"aus"_qs};
        QTest::newRow("no file") << QByteArray() << defaults;
        QTest::newRow("no [TEXTE]") << QByteArray("[Orvanel]\r\nIP=1.2.3.4\r\n") << defaults;
        QTest::newRow("some keys") << QByteArray("[texte]\r\nwc1a=offen\r\nWC3B=\r\n")
                                   << QStringList{u"offen"_qs, u"zu"_qs, u"oben"_qs, u"unten"_qs, u"an"_qs, QString()};
    }

    void wildcardDialogLoads() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        TempProgramFolder folder;
        if (!file.isEmpty())
            QVERIFY(folder.write(u"quendra.ini"_qs, file));
        WildcardTexts texts;
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        QCOMPARE(dialog.objectName(), u"TForm5"_qs);
        QCOMPARE(dialog.windowTitle(), u"Quendra Konfig"_qs);
        QStringList edits;
        for (const char *name : {"wc1auf", "wc1zu", "wc2oben", "wc2unten", "wc3an", "wc3aus"})
            edits << dialog.findChild<QLineEdit *>(QLatin1String(name))->text();
        QCOMPARE(edits, shown);
        QCOMPARE(texts, WildcardTexts()); // the words in use change only with "Schließen"
    }

    // "Schließen" stores the six keys in order and the caption rule takes them from the next rebuild.
    void wildcardDialogCloses() {
        TempProgramFolder folder;
        QVERIFY(folder.write(u"quendra.ini"_qs, "[Orvanel]\r\nKey=geheim\r\n"));
        MenuList menu;
        menu.append(entry(u"Tür $1"_qs));
        menu[0].lv = u"1,0"_qs;
        WildcardTexts texts;
        TrayPopup popup(menu, texts);
        popup.make_popup();
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        dialog.findChild<QLineEdit *>(u"wc1auf"_qs)->setText(u"offen"_qs);
        dialog.findChild<QLineEdit *>(u"wc3aus"_qs)->clear();
        dialog.show();
        dialog.findChild<QPushButton *>(u"TeButton1"_qs)->click();
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialogs.boxes.isEmpty());
        QStringList written;
        for (const QString &line : QString::fromLatin1(folder.read(u"quendra.ini"_qs)).split(u'\n'))
            if (line.startsWith(u"WC"_qs))
                written << line.trimmed();
        QCOMPARE(written, (QStringList{u"WC1A=offen"_qs, u"WC1B=zu"_qs, u"WC2A=oben"_qs, u"WC2B=unten"_qs,
                                       u"WC3A=an"_qs, u"WC3B="_qs}));
        QCOMPARE(IniFile(folder.settingsFile()).readString(u"Orvanel"_qs, u"Key"_qs), u"geheim"_qs);
        QCOMPARE(QFile(folder.settingsFile()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
        QCOMPARE(texts.wc1a, u"offen"_qs);
        QCOMPARE(texts.wc3b, QString());
        QCOMPARE(popup.popupMenu()->actions().at(0)->text(), u"Tür auf"_qs);
        popup.make_popup();
        QCOMPARE(popup.popupMenu()->actions().at(0)->text(), u"Tür offen"_qs);
    }

    // A settings file that cannot be read is not written over; the words still take effect.
    void wildcardDialogUnreadableFile() {
        TempProgramFolder folder;
        QVERIFY(QDir(folder.path()).mkdir(u"quendra.ini"_qs));
        WildcardTexts texts;
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        dialog.findChild<QLineEdit *>(u"wc2oben"_qs)->setText(u"hoch"_qs);
        dialog.findChild<QPushButton *>(u"TeButton1"_qs)->click();
        QCOMPARE(dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QVERIFY(dialogs.texts(FakeDialogs::Kind::Error).at(0).contains(folder.settingsFile()));
        QVERIFY(QFileInfo(folder.settingsFile()).isDir());
        QCOMPARE(texts.wc2a, u"hoch"_qs);
    }

    // The window's own close button stores nothing; the edits keep what was typed.
    void wildcardDialogCloseBox() {
        TempProgramFolder folder;
        const QByteArray before("[TEXTE]\r\nWC1A=auf\r\n");
        QVERIFY(folder.write(u"quendra.ini"_qs, before));
        WildcardTexts texts;
        FakeDialogs dialogs;
        WildcardDialog dialog(folder.settingsFile(), texts, dialogs);
        dialog.show();
        QLineEdit *wc1auf = dialog.findChild<QLineEdit *>(u"wc1auf"_qs);
        wc1auf->setText(u"offen"_qs);
        QVERIFY(dialog.close());
        QVERIFY(dialog.isHidden());
        QCOMPARE(folder.read(u"quendra.ini"_qs), before);
        QCOMPARE(texts, WildcardTexts());
        dialog.show();
        QCOMPARE(wc1auf->text(), u"offen"_qs);
        dialog.findChild<QPushButton *>(u"TeButton1"_qs)->click();
        QCOMPARE(texts.wc1a, u"offen"_qs);
        QCOMPARE(IniFile(folder.settingsFile()).readString(u"TEXTE"_qs, u"WC1A"_qs), u"offen"_qs);
    }
};

QTEST_MAIN(TestMenuEditor)
#include "tst_menueditor.moc"

// The menu editor's panel: its controls, drops on the tree, building a menu step by step, the
// parameter panel in add and change mode, and what it tells screen readers and the status line.
#include "MenuEditorPanel.h"
#include "MenuEditorRig.h"
#include "MenuTreeModel.h"
#include "WidgetDriving.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTreeView>

using namespace MenuEditorRig;

class TestMenuEditorPanel : public QObject {
    Q_OBJECT

private:
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

        // Drags the data or an object over the tree and drops it, as a drag from the catalogue arrives.
        bool drop(const QMimeData &data) { return WidgetDriving::dropOnto(btree()->viewport(), data); }
        bool drop(const DraggedObject &object) { return WidgetDriving::dropOnto(btree()->viewport(), object); }
        void choose(const QString &comboName, const QString &text) { WidgetDriving::choose(combo(comboName), text); }
        void select(qsizetype flat) { btree()->setCurrentIndex(model.indexOf(flat)); }
    };

private slots:
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
        std::unique_ptr<QMimeData> data = WidgetDriving::objectData({gan, u"1/2/3"_qs, u"Licht Küche"_qs});
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
        QVERIFY(rig.drop({u"768"_qs, u"1/2/3"_qs, u"Licht Küche"_qs}));
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
        QVERIFY(rig.drop({u"1000"_qs, u"1/2/3"_qs, u"Dimmer Flur"_qs}));
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
        QVERIFY(rig.drop({u"2000"_qs, u"1/2/3"_qs, u"Temperatur $4 °C"_qs}));
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
        QVERIFY(rig.drop({u"768"_qs, u"1/2/3"_qs, u"Licht"_qs}));
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
};

QTEST_MAIN(TestMenuEditorPanel)
#include "tst_menueditor_panel.moc"

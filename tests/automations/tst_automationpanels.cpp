#include "FakeDialogs.h"
#include "LoadReplaceFile.h"
#include "LoadReplacePanel.h"
#include "ScreenSaverPanel.h"
#include "TempProgramFolder.h"
#include "WidgetDriving.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

namespace {
const DraggedObject kKamera{u"768"_qs, u"1/2/3"_qs, u"Kamera Eingang"_qs};

// The editor over a list in a test folder; getlv answers "12,5" for 768.
struct Editor {
    explicit Editor(int rules = 0) {
        for (int k = 0; k < rules; ++k)
            list.append({u"R%1"_qs.arg(k), u"http://h/%1?"_qs.arg(k), u"/tmp/%1.jpg"_qs.arg(k),
                         QString::number(700 + k), u"1/1/%1"_qs.arg(k)});
        panel = std::make_unique<LoadReplacePanel>(
            list, dialogs, LoadReplaceEditor::Hooks{[this] {
                return path;
            }},
            [](const QString &gan) { return gan == u"768" ? u"12,5"_qs : u"0,0"_qs; });
        panel->resize(320, 500);
        panel->show();
        panel->reload();
    }
    template <typename W> W *find(const char *name) const {
        W *w = panel->findChild<W *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no %s", name);
        return w;
    }
    QTreeView *tree() const { return find<QTreeView>("rtree"); }
    bool panelOpen() const { return !find<QWidget>("parapanel2")->isHidden(); }
    void select(qsizetype flat) const {
        tree()->setCurrentIndex(static_cast<const LoadReplaceModel *>(tree()->model())->indexOf(flat));
    }
    QString selectedText() const { return tree()->currentIndex().data().toString(); }
    QStringList names() const {
        QStringList result;
        for (const LoadReplaceEntry &e : list)
            result.append(e.bezeichnung);
        return result;
    }
    QStringList saved() const {
        QStringList result;
        for (const LoadReplaceEntry &e : load_rlist(path).rules)
            result.append(e.bezeichnung);
        return result;
    }
    QString enabledButtons() const {
        QStringList on;
        for (const char *name : {"LRAufbtn", "LRAbBtn", "lraendernbtn", "lrdeletebtn"})
            if (find<QPushButton>(name)->isEnabled())
                on.append(QString::fromLatin1(name));
        return on.join(u' ');
    }

    TempProgramFolder folder;
    QString path = loadReplaceFilePath(folder.path());
    FakeDialogs dialogs;
    LoadReplaceList list;
    std::unique_ptr<LoadReplacePanel> panel;
};
} // namespace

class TestAutomationPanels : public QObject {
    Q_OBJECT

private slots:
    // A drag from the catalogue opens the parameter panel in add mode; anything else is refused.
    void dropOnList_data() {
        QTest::addColumn<QString>("gan");
        QTest::addColumn<bool>("object");
        QTest::addColumn<bool>("taken");
        QTest::newRow("object with number") << u"768"_qs << true << true;
        QTest::newRow("object without number") << u""_qs << true << false;
        QTest::newRow("no object") << u"768"_qs << false << false;
    }
    void dropOnList() {
        QFETCH(QString, gan);
        QFETCH(bool, object);
        QFETCH(bool, taken);
        Editor e;
        DraggedObject dragged = kKamera;
        dragged.gan = gan;
        std::unique_ptr<QMimeData> mime = WidgetDriving::objectData(dragged);
        if (!object)
            mime = std::make_unique<QMimeData>();
        if (!object)
            mime->setText(u"768"_qs);
        e.find<QLineEdit>("LRHOST")->setText(u"http://vorher/"_qs);
        QCOMPARE(WidgetDriving::dropOnto(e.tree()->viewport(), *mime), taken);
        QCOMPARE(e.panelOpen(), taken);
        if (!taken)
            return;
        QCOMPARE(e.find<QPushButton>("Hinzubtn2")->text(), u"Hinzufügen"_qs);
        QCOMPARE(e.find<QLabel>("LRBEZ")->text(), kKamera.name);
        QCOMPARE(e.find<QLabel>("LRGA")->text(), u"GA:1/2/3"_qs);
        QCOMPARE(e.find<QLabel>("LRWERT")->text(), u"12,5"_qs);
        QCOMPARE(e.find<QLineEdit>("LRHOST")->text(), u"http://vorher/"_qs);
        // While the panel is open, a keyboard drop is refused.
        QVERIFY(!e.panel->dropObjectOnList(kKamera));
    }

    // Drop, fill in, "Hinzufügen": the rule is appended, saved and chosen; "Zurück" adds nothing.
    void addRule_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("Hinzufügen") << u"Hinzubtn2"_qs << QStringList{u"R0"_qs, u"Kamera Eingang"_qs};
        QTest::newRow("Zurück") << u"lrzurueckbtn"_qs << QStringList{u"R0"_qs};
    }
    void addRule() {
        QFETCH(QString, button);
        QFETCH(QStringList, names);
        Editor e(1);
        QVERIFY(e.panel->dropObjectOnList(kKamera));
        QTest::keyClicks(e.find<QLineEdit>("LRHOST"), u"http://192.0.2.10/snap?img="_qs);
        QTest::keyClicks(e.find<QLineEdit>("LRSPEICHERORT"), u"/bilder/eingang.jpg"_qs);
        e.find<QPushButton>(button.toLatin1().constData())->click();
        QVERIFY(!e.panelOpen());
        QCOMPARE(e.names(), names);
        if (names.size() == 1)
            return;
        QCOMPARE(e.list.at(1), (LoadReplaceEntry{u"Kamera Eingang"_qs, u"http://192.0.2.10/snap?img="_qs,
                                                 u"/bilder/eingang.jpg"_qs, u"768"_qs, u"1/2/3"_qs}));
        QCOMPARE(e.saved(), names);
        QCOMPARE(e.selectedText(), u"Kamera Eingang"_qs);
        QCOMPARE(e.enabledButtons(), u"LRAufbtn lraendernbtn lrdeletebtn"_qs);
    }

    // "Ändern" opens the selected rule; confirming changes host and file only.
    void changeRule() {
        Editor e(2);
        e.select(0);
        e.find<QPushButton>("lraendernbtn")->click();
        QVERIFY(e.panelOpen());
        QCOMPARE(e.find<QPushButton>("Hinzubtn2")->text(), u"Ändern"_qs);
        QCOMPARE(e.find<QLabel>("LRBEZ")->text(), u"R0"_qs);
        QCOMPARE(e.find<QLabel>("LRGA")->text(), u"1/1/0"_qs);
        QCOMPARE(e.find<QLabel>("LRWERT")->text(), QString());
        QCOMPARE(e.find<QLineEdit>("LRHOST")->text(), u"http://h/0?"_qs);
        e.find<QLineEdit>("LRHOST")->setText(u"http://neu/?"_qs);
        e.find<QLineEdit>("LRSPEICHERORT")->setText(u"/neu.jpg"_qs);
        e.find<QPushButton>("Hinzubtn2")->click();
        QVERIFY(!e.panelOpen());
        QCOMPARE(e.list.at(0),
                 (LoadReplaceEntry{u"R0"_qs, u"http://neu/?"_qs, u"/neu.jpg"_qs, u"700"_qs, u"1/1/0"_qs}));
        QCOMPARE(load_rlist(e.path).rules, e.list);
        // The last rule is chosen afterwards.
        QCOMPARE(e.selectedText(), u"R1"_qs);
    }

    void ruleFieldsOfferTheirText_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("host") << u"LRHOST"_qs;
        QTest::newRow("file") << u"LRSPEICHERORT"_qs;
    }

    // A rule opened for change offers its host and file whole, to be typed over.
    void ruleFieldsOfferTheirText() {
        QFETCH(QString, field);
        Editor e(1);
        e.panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(e.panel.get()));
        e.select(0);
        e.find<QPushButton>("lraendernbtn")->click();
        auto *edit = e.find<QLineEdit>(qPrintable(field));
        QVERIFY(!edit->text().isEmpty());
        // The panel may put the focus there itself: the text is offered whole then too.
        if (edit->hasFocus())
            QCOMPARE(edit->selectedText(), edit->text());
        e.find<QPushButton>("lrzurueckbtn")->setFocus();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
        QVERIFY(edit->hasFocus());
        QCOMPARE(edit->selectedText(), edit->text());
    }

    void moveRule_data() {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("buttons");
        QTest::newRow("first down, key") << 0 << u"Alt+Down"_qs << QStringList{u"R1"_qs, u"R0"_qs, u"R2"_qs}
                                         << u"LRAufbtn LRAbBtn lraendernbtn lrdeletebtn"_qs;
        QTest::newRow("first up, key refused")
            << 0 << u"Alt+Up"_qs << QStringList{u"R0"_qs, u"R1"_qs, u"R2"_qs} << u"LRAbBtn lraendernbtn lrdeletebtn"_qs;
        QTest::newRow("first down") << 0 << u"LRAbBtn"_qs << QStringList{u"R1"_qs, u"R0"_qs, u"R2"_qs}
                                    << u"LRAufbtn LRAbBtn lraendernbtn lrdeletebtn"_qs;
        QTest::newRow("middle up") << 1 << u"LRAufbtn"_qs << QStringList{u"R1"_qs, u"R0"_qs, u"R2"_qs}
                                   << u"LRAbBtn lraendernbtn lrdeletebtn"_qs;
        QTest::newRow("middle down") << 1 << u"LRAbBtn"_qs << QStringList{u"R0"_qs, u"R2"_qs, u"R1"_qs}
                                     << u"LRAufbtn lraendernbtn lrdeletebtn"_qs;
    }
    void moveRule() {
        QFETCH(int, rule);
        QFETCH(QString, button);
        QFETCH(QStringList, names);
        QFETCH(QString, buttons);
        Editor e(3);
        QVERIFY(save_rlist(e.path, e.list));
        e.select(LoadReplaceList::flatPosition(rule));
        if (button.startsWith(u"Alt+"))
            QTest::keyClick(e.tree(), button.endsWith(u"Up") ? Qt::Key_Up : Qt::Key_Down, Qt::AltModifier);
        else
            e.find<QPushButton>(button.toLatin1().constData())->click();
        QCOMPARE(e.names(), names);
        QCOMPARE(e.saved(), names);
        QCOMPARE(e.selectedText(), u"R%1"_qs.arg(rule));
        QCOMPARE(e.enabledButtons(), buttons);
    }

    void deleteRule_data() {
        QTest::addColumn<int>("rules");
        QTest::addColumn<int>("selected"); // flat position
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("buttons");
        QTest::newRow("first of three") << 3 << 0 << true << QStringList{u"R1"_qs, u"R2"_qs}
                                        << u"LRAbBtn lraendernbtn lrdeletebtn"_qs;
        QTest::newRow("answered no") << 2 << 0 << false << QStringList{u"R0"_qs, u"R1"_qs}
                                     << u"LRAbBtn lraendernbtn lrdeletebtn"_qs;
        QTest::newRow("an attribute") << 2 << 6 << true << QStringList{u"R0"_qs, u"R1"_qs} << u"lrdeletebtn"_qs;
        QTest::newRow("the only rule") << 1 << 0 << true << QStringList{} << u""_qs;
    }
    void deleteRule() {
        QFETCH(int, rules);
        QFETCH(int, selected);
        QFETCH(bool, answer);
        QFETCH(QStringList, names);
        QFETCH(QString, buttons);
        Editor e(rules);
        QVERIFY(save_rlist(e.path, e.list));
        e.dialogs.answers = {answer};
        e.select(selected);
        e.find<QPushButton>("lrdeletebtn")->click();
        QCOMPARE(e.dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{u"Wirklich löschen?"_qs});
        QCOMPARE(e.names(), names);
        QCOMPARE(e.saved(), names);
        QCOMPARE(e.enabledButtons(), buttons);
    }

    // Renaming in place makes the text unique by the flat positions of equal texts.
    void renameInPlace_data() {
        QTest::addColumn<int>("flat");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("name unchanged") << 0 << u"R0"_qs << u"R00"_qs;
        QTest::newRow("new name") << 5 << u"Hof"_qs << u"Hof"_qs;
        QTest::newRow("host") << 6 << u"http://h/0?"_qs << u"http://h/0?1"_qs;
    }
    void renameInPlace() {
        QFETCH(int, flat);
        QFETCH(QString, text);
        QFETCH(QString, result);
        Editor e(2);
        e.select(flat);
        QTreeView *tree = e.tree();
        QVERIFY(tree->model()->flags(tree->currentIndex()) & Qt::ItemIsEditable);
        QVERIFY(tree->model()->setData(tree->currentIndex(), text));
        QCOMPARE(e.list.nodeText(flat), result);
        QCOMPARE(tree->currentIndex().data().toString(), result);
    }

    // The screen-saver panel: a drop binds the object's number, TeButton1 unbinds it.
    void screenSaverPanel_data() {
        QTest::addColumn<QString>("gan");
        QTest::addColumn<bool>("object");
        QTest::addColumn<QString>("binding");
        QTest::newRow("object with number") << u"768"_qs << true << u"768"_qs;
        QTest::newRow("object without number") << u""_qs << true << u"Drag&&Drop"_qs;
        QTest::newRow("no object") << u"768"_qs << false << u"Drag&&Drop"_qs;
    }
    void screenSaverPanel() {
        QFETCH(QString, gan);
        QFETCH(bool, object);
        QFETCH(QString, binding);
        ScreenSaverPanel panel;
        panel.show();
        QLabel *caption = panel.findChild<QLabel *>(u"OVSCREENSAVER"_qs);
        QVERIFY(caption);
        QCOMPARE(caption->text(), u"Drag&Drop"_qs);
        QSignalSpy changed(&panel, &ScreenSaverPanel::bindingChanged);
        DraggedObject dragged = kKamera;
        dragged.gan = gan;
        std::unique_ptr<QMimeData> mime = object ? WidgetDriving::objectData(dragged) : std::make_unique<QMimeData>();
        QCOMPARE(WidgetDriving::dropOnto(caption, *mime), binding != u"Drag&&Drop");
        QCOMPARE(panel.binding(), binding);
        QCOMPARE(changed.count(), binding == u"Drag&&Drop" ? 0 : 1);

        panel.findChild<QToolButton *>(u"TeButton1"_qs)->click();
        QCOMPARE(panel.binding(), u"Drag&&Drop"_qs);
        QCOMPARE(caption->text(), u"Drag&Drop"_qs);
        QCOMPARE(changed.last().at(0).toString(), u"Drag&&Drop"_qs);
        // The keyboard's drop does what the mouse's does.
        QCOMPARE(panel.dropObjectOnScreenSaver(dragged), !gan.isEmpty());
    }
};

QTEST_MAIN(TestAutomationPanels)
#include "tst_automationpanels.moc"

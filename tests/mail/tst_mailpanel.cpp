// The tab "Email": drops on the four targets, the lists' limit, add, change, back and delete.
#include "CatalogueDrag.h"
#include "FakeDialogs.h"
#include "MailPanel.h"
#include "MailTexts.h"
#include "WidgetDriving.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

namespace {
MailAccount named(const QString &name) {
    MailAccount a;
    a.name = name;
    return a;
}

DraggedObject object(const QString &gan) {
    return {gan, QStringLiteral("1/2/3"), QStringLiteral("Objekt ") + gan};
}

QStringList items(const QComboBox *list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->itemText(i));
    return result;
}

struct PanelRig {
    PanelRig() : panel(accounts, dialogs) {}
    template <typename W> W *find(const char *name) { return panel.findChild<W *>(QLatin1String(name)); }
    QWidget *accountPanel() { return find<QWidget>("neupoppanel"); }
    void fillRequired(const QString &server = QStringLiteral("pop.example.org")) {
        find<QLineEdit>("SERVER")->setText(server);
        find<QLineEdit>("LOGIN")->setText(QStringLiteral("anna"));
        panel.dropObjectOnCount(object(QStringLiteral("768")));
    }
    void select(int row) {
        auto *tree = find<QTreeView>("etree");
        tree->setCurrentIndex(tree->model()->index(row, 0));
    }

    MailAccountList accounts;
    FakeDialogs dialogs;
    MailPanel panel;
};

using DropMethod = bool (MailPanel::*)(const DraggedObject &);
} // namespace

Q_DECLARE_METATYPE(DropMethod)

class TestMailPanel : public QObject {
    Q_OBJECT

private slots:
    void dropFourObjects_data();
    void dropFourObjects();
    void sixDropsOnAList_data();
    void sixDropsOnAList();
    void dropsAreRefused_data();
    void dropsAreRefused();
    void removeFromAList();
    void addAccount();
    void incompleteFormIsRefused_data();
    void incompleteFormIsRefused();
    void changeAccount();
    void changeShowsTrueAsChecked();
    void changeWithAFlagThatIsNoBoolean();
    void backResets();
    void deleteAsks_data();
    void deleteAsks();
    void widgetsAreNamedForScreenReaders();
    void passwordIsNotShown();
    void editInTheTree_data();
    void editInTheTree();
};

void TestMailPanel::dropFourObjects_data() {
    QTest::addColumn<bool>("mouse");
    QTest::newRow("mouse") << true;
    QTest::newRow("keyboard") << false;
}

void TestMailPanel::dropFourObjects() {
    QFETCH(bool, mouse);
    PanelRig rig;
    rig.panel.eneuClick();
    const QList<std::pair<const char *, DropMethod>> targets{{"ANZPANEL", &MailPanel::dropObjectOnCount},
                                                             {"ABSENDER", &MailPanel::dropObjectOnSender},
                                                             {"BETREFF", &MailPanel::dropObjectOnSubject},
                                                             {"DATUMUHRZEIT", &MailPanel::dropObjectOnDate}};
    int gan = 100;
    for (const auto &[name, method] : targets) {
        const DraggedObject dropped = object(QString::number(++gan));
        QVERIFY(mouse ? WidgetDriving::dropOnto(rig.find<QWidget>(name), dropped) : (rig.panel.*method)(dropped));
    }
    QCOMPARE(rig.find<QLabel>("ANZPANEL")->text(), QStringLiteral("101"));
    QCOMPARE(rig.find<QComboBox>("ABSENDER")->currentText(), QStringLiteral("102"));
    rig.find<QLineEdit>("SERVER")->setText(QStringLiteral("pop.example.org"));
    rig.find<QLineEdit>("LOGIN")->setText(QStringLiteral("anna"));
    rig.panel.Hinzubtn3Click();
    QCOMPARE(rig.accounts.size(), 1);
    const MailAccount &a = rig.accounts.at(0);
    QCOMPARE(a.countGan, QStringLiteral("101"));
    QCOMPARE(a.mailSlots[0], (MailSlot{QStringLiteral("102"), QStringLiteral("103"), QStringLiteral("104")}));
    QCOMPARE(a.mailSlots[1], MailSlot{});
}

void TestMailPanel::sixDropsOnAList_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<DropMethod>("method");
    QTest::newRow("Absender") << "ABSENDER" << DropMethod(&MailPanel::dropObjectOnSender);
    QTest::newRow("Betreff") << "BETREFF" << DropMethod(&MailPanel::dropObjectOnSubject);
    QTest::newRow("Datum/Uhrzeit") << "DATUMUHRZEIT" << DropMethod(&MailPanel::dropObjectOnDate);
}

void TestMailPanel::sixDropsOnAList() {
    QFETCH(QString, list);
    QFETCH(DropMethod, method);
    PanelRig rig;
    rig.panel.eneuClick();
    auto *box = rig.panel.findChild<QComboBox *>(list);
    for (int i = 1; i <= 5; ++i) {
        QVERIFY(WidgetDriving::dropOnto(box, object(QString::number(i))));
        QCOMPARE(box->currentText(), QString::number(i)); // the list shows its last item
    }
    // The sixth drop changes nothing, with the mouse or the keyboard.
    WidgetDriving::dropOnto(box, object(QStringLiteral("6")));
    QVERIFY(!(rig.panel.*method)(object(QStringLiteral("7"))));
    QCOMPARE(items(box), QStringList({"1", "2", "3", "4", "5"}));
    QCOMPARE(box->currentText(), QStringLiteral("5"));
}

void TestMailPanel::dropsAreRefused_data() {
    QTest::addColumn<bool>("panelOpen");
    QTest::addColumn<QString>("gan");
    QTest::addColumn<bool>("foreignData");
    QTest::newRow("panel closed") << false << "5" << false;
    QTest::newRow("object without GAN") << true << "" << false;
    QTest::newRow("no catalogue object") << true << "5" << true;
}

void TestMailPanel::dropsAreRefused() {
    QFETCH(bool, panelOpen);
    QFETCH(QString, gan);
    QFETCH(bool, foreignData);
    PanelRig rig;
    if (panelOpen)
        rig.panel.eneuClick();
    QMimeData mime;
    if (foreignData)
        mime.setText(gan);
    else
        writeDraggedObject(mime, object(gan));
    for (const char *name : {"ANZPANEL", "ABSENDER", "BETREFF", "DATUMUHRZEIT"})
        QVERIFY2(!WidgetDriving::dropOnto(rig.find<QWidget>(name), mime), name);
    if (!foreignData) {
        QVERIFY(!rig.panel.dropObjectOnCount(object(gan)));
        QVERIFY(!rig.panel.dropObjectOnSender(object(gan)));
    }
    QCOMPARE(rig.find<QLabel>("ANZPANEL")->text(), QStringLiteral("KO per Drag&Drop hier abl."));
    QCOMPARE(rig.find<QComboBox>("ABSENDER")->count(), 0);
}

void TestMailPanel::removeFromAList() {
    PanelRig rig;
    rig.panel.eneuClick();
    for (const char *gan : {"1", "2", "3"})
        rig.panel.dropObjectOnSubject(object(QLatin1String(gan)));
    auto *box = rig.find<QComboBox>("BETREFF");
    box->setCurrentIndex(1);
    rig.panel.delbetreffClick();
    QCOMPARE(items(box), QStringList({"1", "3"}));
    QCOMPARE(box->currentText(), QStringLiteral("3")); // the item that moved into its place
    rig.panel.delbetreffClick();
    QCOMPARE(items(box), QStringList{"1"});
    QCOMPARE(box->currentIndex(), -1); // nothing moved up: the list shows nothing
    rig.panel.delbetreffClick();
    QCOMPARE(items(box), QStringList{"1"});
}

void TestMailPanel::addAccount() {
    PanelRig rig;
    QSignalSpy changed(&rig.panel, &MailPanel::listChanged);
    rig.accounts.append(named(QStringLiteral("first")));
    rig.panel.reloadAccounts();
    rig.select(0);
    rig.panel.eneuClick();
    QVERIFY(!rig.accountPanel()->isHidden());
    rig.fillRequired(QStringLiteral("mail.example.net"));
    rig.find<QLineEdit>("PORT")->setText(QStringLiteral("995"));
    rig.find<QLineEdit>("PASSWORD")->setText(QStringLiteral("geheim"));
    rig.find<QCheckBox>("ABRUF")->setChecked(false);
    rig.find<QCheckBox>("eBalloon")->setChecked(true);
    rig.panel.dropObjectOnDate(object(QStringLiteral("9")));
    rig.panel.dropObjectOnDate(object(QStringLiteral("10")));
    rig.panel.Hinzubtn3Click();

    QCOMPARE(rig.accounts.size(), 2);
    MailAccount expected;
    expected.name = expected.host = QStringLiteral("mail.example.net");
    expected.port = QStringLiteral("995");
    expected.fetchFlag = QStringLiteral("0");
    expected.balloonFlag = QStringLiteral("-1");
    expected.login = QStringLiteral("anna");
    expected.password = QStringLiteral("geheim");
    expected.countGan = QStringLiteral("768");
    expected.mailSlots[0].dateGan = QStringLiteral("9");
    expected.mailSlots[1].dateGan = QStringLiteral("10");
    QCOMPARE(rig.accounts.at(1), expected);
    QCOMPARE(changed.size(), 1);
    // The selection does not move; the panel is reset and hidden.
    QCOMPARE(rig.find<QTreeView>("etree")->currentIndex().row(), 0);
    QVERIFY(rig.accountPanel()->isHidden());
    QCOMPARE(rig.find<QLineEdit>("SERVER")->text(), QString());
    QCOMPARE(rig.find<QComboBox>("DATUMUHRZEIT")->count(), 0);
    // The tree shows the account with its 28 nodes below it.
    auto *model = rig.find<QTreeView>("etree")->model();
    const QModelIndex top = model->index(1, 0);
    QCOMPARE(top.data().toString(), QStringLiteral("mail.example.net"));
    QCOMPARE(model->rowCount(top), 8);
    QCOMPARE(model->index(2, 0, top).data().toString(), QStringLiteral("0"));
    const QModelIndex mails = model->index(7, 0, top);
    QCOMPARE(mails.data().toString(), QStringLiteral("Mails"));
    QCOMPARE(model->rowCount(mails), 5);
    QCOMPARE(model->index(2, 0, model->index(1, 0, mails)).data().toString(), QStringLiteral("10"));
}

void TestMailPanel::incompleteFormIsRefused_data() {
    QTest::addColumn<QString>("emptied"); // which part is missing
    QTest::newRow("server") << "SERVER";
    QTest::newRow("port") << "PORT";
    QTest::newRow("login") << "LOGIN";
    QTest::newRow("count object") << "ANZPANEL";
}

void TestMailPanel::incompleteFormIsRefused() {
    QFETCH(QString, emptied);
    PanelRig rig;
    QSignalSpy changed(&rig.panel, &MailPanel::listChanged);
    rig.panel.eneuClick();
    if (emptied != QStringLiteral("ANZPANEL"))
        rig.fillRequired();
    else {
        rig.find<QLineEdit>("SERVER")->setText(QStringLiteral("s"));
        rig.find<QLineEdit>("LOGIN")->setText(QStringLiteral("l"));
    }
    if (auto *edit = rig.panel.findChild<QLineEdit *>(emptied))
        edit->clear();
    rig.panel.dropObjectOnSender(object(QStringLiteral("5")));
    rig.panel.Hinzubtn3Click();
    QVERIFY(rig.accounts.isEmpty());
    QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Information),
             QStringList{QStringLiteral("Bitte Server/Port/Login eingeben.\rBitte KO für Anzahl auswählen.")});
    // Emptied and hidden afterwards, and the list is saved all the same.
    QVERIFY(rig.accountPanel()->isHidden());
    QCOMPARE(rig.find<QComboBox>("ABSENDER")->count(), 0);
    QCOMPARE(rig.find<QLineEdit>("PORT")->text(), QStringLiteral("110"));
    QCOMPARE(changed.size(), 1);
}

void TestMailPanel::changeAccount() {
    PanelRig rig;
    MailAccount first = named(QStringLiteral("first"));
    first.host = QStringLiteral("pop.first.org");
    first.fetchFlag = QStringLiteral("-1");
    first.login = QStringLiteral("f");
    first.countGan = QStringLiteral("1");
    first.mailSlots[0] = {QStringLiteral("11"), QStringLiteral("12"), QString()};
    first.mailSlots[2] = {QStringLiteral("31"), QString(), QStringLiteral("33")};
    MailAccount second = named(QStringLiteral("second"));
    rig.accounts = {first, second};
    rig.panel.reloadAccounts();
    rig.select(0);
    rig.panel.eaendernClick();
    QVERIFY(!rig.accountPanel()->isHidden());
    QCOMPARE(rig.find<QPushButton>("Hinzubtn3")->text(), QStringLiteral("Ändern"));
    QCOMPARE(rig.find<QLineEdit>("SERVER")->text(), QStringLiteral("pop.first.org"));
    QVERIFY(rig.find<QCheckBox>("ABRUF")->isChecked());
    QVERIFY(!rig.find<QCheckBox>("eBalloon")->isChecked());
    QCOMPARE(rig.find<QLabel>("ANZPANEL")->text(), QStringLiteral("1"));
    // The non-empty GANs close up: slot 3's sender becomes the second item.
    QCOMPARE(items(rig.find<QComboBox>("ABSENDER")), QStringList({"11", "31"}));
    QCOMPARE(items(rig.find<QComboBox>("DATUMUHRZEIT")), QStringList{"33"});

    auto *senders = rig.find<QComboBox>("ABSENDER");
    senders->setCurrentIndex(0);
    rig.panel.delabsenderClick();
    rig.find<QLineEdit>("SERVER")->setText(QStringLiteral("pop.new.org"));
    rig.panel.Hinzubtn3Click();

    const MailAccount &changed = rig.accounts.at(0);
    QCOMPARE(changed.name, QStringLiteral("first")); // the name stays
    QCOMPARE(changed.host, QStringLiteral("pop.new.org"));
    QCOMPARE(changed.mailSlots[0], (MailSlot{QStringLiteral("31"), QStringLiteral("12"), QStringLiteral("33")}));
    QCOMPARE(changed.mailSlots[1], MailSlot{});
    QCOMPARE(changed.mailSlots[2], MailSlot{});
    QCOMPARE(rig.accounts.at(1), second);
    // The last account is selected afterwards, and the panel is back in add mode.
    QCOMPARE(rig.find<QTreeView>("etree")->currentIndex().row(), 1);
    QCOMPARE(rig.find<QPushButton>("Hinzubtn3")->text(), QStringLiteral("Hinzufügen"));
}

void TestMailPanel::changeShowsTrueAsChecked() {
    PanelRig rig;
    MailAccount old = named(QStringLiteral("old"));
    old.host = old.login = old.countGan = QStringLiteral("x");
    old.fetchFlag = QStringLiteral("True");
    rig.accounts = {old};
    rig.panel.reloadAccounts();
    rig.select(0);
    rig.panel.eaendernClick();
    QVERIFY(rig.find<QCheckBox>("ABRUF")->isChecked());
    rig.panel.Hinzubtn3Click();
    QCOMPARE(rig.accounts.at(0).fetchFlag, QStringLiteral("-1"));
    QVERIFY(rig.accounts.at(0).polled());
}

void TestMailPanel::changeWithAFlagThatIsNoBoolean() {
    PanelRig rig;
    MailAccount odd = named(QStringLiteral("odd"));
    odd.balloonFlag = QStringLiteral("vielleicht");
    rig.accounts = {odd};
    rig.panel.reloadAccounts();
    rig.panel.eaendernClick(); // nothing selected: nothing happens
    QVERIFY(rig.accountPanel()->isHidden());
    rig.select(0);
    rig.panel.eaendernClick();
    QVERIFY(rig.accountPanel()->isHidden());
    QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Error),
             QStringList{QStringLiteral("'vielleicht' ist kein gültiger Boolescher Wert.")});
}

void TestMailPanel::backResets() {
    PanelRig rig;
    rig.panel.eneuClick();
    rig.fillRequired();
    rig.find<QLineEdit>("PORT")->setText(QStringLiteral("995"));
    rig.find<QLineEdit>("PASSWORD")->setText(QStringLiteral("pw"));
    rig.find<QCheckBox>("ABRUF")->setChecked(false);
    rig.find<QCheckBox>("eBalloon")->setChecked(true);
    rig.find<QCheckBox>("eTLS")->setChecked(true);
    rig.panel.dropObjectOnSender(object(QStringLiteral("5")));
    rig.panel.ezurueckbtnClick();
    QVERIFY(rig.accountPanel()->isHidden());
    QCOMPARE(rig.find<QLineEdit>("SERVER")->text(), QString());
    QCOMPARE(rig.find<QLineEdit>("PORT")->text(), QStringLiteral("110"));
    QCOMPARE(rig.find<QLineEdit>("LOGIN")->text(), QString());
    QCOMPARE(rig.find<QLineEdit>("PASSWORD")->text(), QString());
    QVERIFY(rig.find<QCheckBox>("ABRUF")->isChecked());
    QVERIFY(!rig.find<QCheckBox>("eBalloon")->isChecked());
    QVERIFY(!rig.find<QCheckBox>("eTLS")->isChecked());
    QCOMPARE(rig.find<QLabel>("ANZPANEL")->text(), QStringLiteral("KO per Drag&Drop hier abl."));
    QCOMPARE(rig.find<QComboBox>("ABSENDER")->count(), 0);
    // "Neu" shows the panel in this reset state.
    rig.panel.eneuClick();
    QVERIFY(!rig.accountPanel()->isHidden());
    QCOMPARE(rig.find<QPushButton>("Hinzubtn3")->text(), QStringLiteral("Hinzufügen"));
}

void TestMailPanel::deleteAsks_data() {
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("yes") << true << true << QStringList{"a", "c"};
    QTest::newRow("no") << false << true << QStringList{"a", "b", "c"};
    QTest::newRow("nothing selected") << true << false << QStringList{"a", "b", "c"};
}

void TestMailPanel::deleteAsks() {
    QFETCH(bool, answer);
    QFETCH(bool, selected);
    QFETCH(QStringList, remaining);
    PanelRig rig;
    QSignalSpy changed(&rig.panel, &MailPanel::listChanged);
    for (const char *name : {"a", "b", "c"})
        rig.accounts.append(named(QLatin1String(name)));
    rig.panel.reloadAccounts();
    if (selected)
        rig.select(1);
    rig.dialogs.answers = {answer};
    rig.panel.edelteClick();
    QCOMPARE(rig.dialogs.texts(FakeDialogs::Kind::Confirm), QStringList{QStringLiteral("Wirklich löschen?")});
    QStringList names;
    for (const MailAccount &a : rig.accounts)
        names.append(a.name);
    QCOMPARE(names, remaining);
    QCOMPARE(changed.size(), answer && selected ? 1 : 0);
    QCOMPARE(rig.find<QTreeView>("etree")->model()->rowCount(), remaining.size());
}

void TestMailPanel::widgetsAreNamedForScreenReaders() {
    PanelRig rig;
    const QList<std::pair<const char *, QString>> expected{{"OVGETMAIL", "Email abruf"},
                                                           {"OVMAILTIME", "Abrufintervall in Minuten"},
                                                           {"eneu", "Neu"},
                                                           {"eaendern", "Ändern"},
                                                           {"edelte", "Löschen"},
                                                           {"SERVER", "Server"},
                                                           {"PORT", "Port"},
                                                           {"ABRUF", "abrufen"},
                                                           {"eBalloon", "Balloon"},
                                                           {"LOGIN", "Benutzername (Login)"},
                                                           {"PASSWORD", "Passwort"},
                                                           {"ANZPANEL", "Anzahl der Emails"},
                                                           {"ABSENDER", "Absender"},
                                                           {"BETREFF", "Betreff"},
                                                           {"DATUMUHRZEIT", "Datum/Uhrzeit"},
                                                           {"Hinzubtn3", "Hinzufügen"},
                                                           {"ezurueckbtn", "Zurück"}};
    for (const auto &[name, accessible] : expected) {
        QWidget *w = rig.find<QWidget>(name);
        QVERIFY2(w, name);
        QCOMPARE(w->accessibleName(), accessible);
    }
    QCOMPARE(rig.find<QPushButton>("edelte")->toolTip(), QStringLiteral("Befehl löschen"));
    QCOMPARE(rig.find<QPushButton>("Hinzubtn3")->toolTip(), QStringLiteral("Befehl zum Kotextmenü hinzufügen"));
    QCOMPARE(rig.find<QCheckBox>("eBalloon")->toolTip(), kMailBalloonHint);
    for (QLabel *label : rig.panel.findChildren<QLabel *>())
        if (label->objectName() != QStringLiteral("ANZPANEL"))
            QVERIFY2(label->buddy(), qPrintable(label->text()));
}

// The password is shown and read out as a password field; the account keeps it as typed.
void TestMailPanel::passwordIsNotShown() {
    PanelRig rig;
    rig.panel.eneuClick();
    rig.fillRequired();
    auto *password = rig.find<QLineEdit>("PASSWORD");
    QTest::keyClicks(password, QStringLiteral("geheim"));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QVERIFY(!password->displayText().contains(QStringLiteral("geheim")));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(password);
    QVERIFY(accessible->state().passwordEdit);
    QVERIFY(!accessible->text(QAccessible::Value).contains(QStringLiteral("geheim")));
    rig.panel.Hinzubtn3Click();
    QCOMPARE(rig.accounts.size(), 1);
    QCOMPARE(rig.accounts.at(0).password, QStringLiteral("geheim"));
}

void TestMailPanel::editInTheTree_data() {
    QTest::addColumn<QList<int>>("path"); // rows from the top of the tree
    QTest::addColumn<QString>("readOut"); // what a screen reader says for the node as it is
    QTest::addColumn<bool>("editable");
    QTest::addColumn<QString>("field"); // what the edit changed in the second account
    QTest::newRow("name") << QList<int>{1} << "b" << true << "name";
    QTest::newRow("port") << QList<int>{1, 1} << "110" << true << "port";
    QTest::newRow("empty password") << QList<int>{1, 5} << "Passwort" << true << "password";
    QTest::newRow("Mails") << QList<int>{1, 7} << "Mails" << false << "";
    QTest::newRow("slot 2") << QList<int>{1, 7, 1} << "2" << false << "";
    QTest::newRow("date of slot 2") << QList<int>{1, 7, 1, 2} << "Datum/Uhrzeit" << true << "date 2";
}

// The tree's texts go into the account at once, to be stored with the next save; "Mails" and the
// slot numbers are no texts of the account and stay.
void TestMailPanel::editInTheTree() {
    QFETCH(QList<int>, path);
    QFETCH(QString, readOut);
    QFETCH(bool, editable);
    QFETCH(QString, field);
    PanelRig rig;
    QSignalSpy changed(&rig.panel, &MailPanel::listChanged);
    rig.accounts = {named(QStringLiteral("a")), named(QStringLiteral("b"))};
    rig.panel.reloadAccounts();
    QAbstractItemModel *model = rig.find<QTreeView>("etree")->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QModelIndex node;
    for (int row : path)
        node = model->index(row, 0, node);
    QCOMPARE(node.data(Qt::AccessibleTextRole).toString(), readOut);
    QCOMPARE(bool(model->flags(node) & Qt::ItemIsEditable), editable);
    QCOMPARE(model->setData(node, QStringLiteral("neu")), editable);

    MailAccount expected = named(QStringLiteral("b"));
    if (field == u"name")
        expected.name = QStringLiteral("neu");
    else if (field == u"port")
        expected.port = QStringLiteral("neu");
    else if (field == u"password")
        expected.password = QStringLiteral("neu");
    else if (field == u"date 2")
        expected.mailSlots[1].dateGan = QStringLiteral("neu");
    QCOMPARE(rig.accounts.at(1), expected);
    QCOMPARE(rig.accounts.at(0), named(QStringLiteral("a")));
    QCOMPARE(node.data().toString(), editable ? QStringLiteral("neu") : readOut);
    QCOMPARE(changed.size(), 0);
}

QTEST_MAIN(TestMailPanel)
#include "tst_mailpanel.moc"

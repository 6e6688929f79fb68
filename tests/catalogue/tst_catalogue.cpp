// The catalogue as a tree: its build from the document, the budgets, dragging its objects and the
// routes to a drop target.
#include "AnsiText.h"
#include "CatalogueController.h"
#include "CatalogueDrag.h"
#include "CatalogueModel.h"
#include "CatalogueTestData.h"
#include "CatalogueTreeView.h"
#include "DropTargets.h"
#include "FakeDialogs.h"
#include "LoopbackHttpServer.h"
#include "OvsimProcess.h"
#include "TempProgramFolder.h"
#include "TricklingHttpServer.h"
#include "WorkArea.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void buildsTheTree_data() {
        QTest::addColumn<QString>("elements");
        QTest::addColumn<bool>("details");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("label and detail lines in their order")
            << cobject(u"eib"_qs, u"EG\\"_qs, u"1/2/3"_qs, u"Licht"_qs, u"768"_qs) << true
            << QStringList{u"EIB"_qs,
                           u"  EG"_qs,
                           u"    1/2/3 Licht..."_qs,
                           u"      GA/N:768"_qs,
                           u"      GA:1/2/3"_qs,
                           u"      Init:0"_qs,
                           u"      Liste:Aus;Ein"_qs,
                           u"      Max:1"_qs,
                           u"      Min:0"_qs,
                           u"      Name:Licht"_qs,
                           u"      Typ:EIS1"_qs,
                           u"Intern"_qs};
        QTest::newRow("long name cut in the label, whole in its line")
            << cobject(u"eib"_qs, u""_qs, u"0/0/1"_qs, u"Wohnzimmerlicht Decke"_qs, u"1"_qs) << true
            << QStringList{u"EIB"_qs,
                           u"  0/0/1 Wohnzimmerli..."_qs,
                           u"    GA/N:1"_qs,
                           u"    GA:0/0/1"_qs,
                           u"    Init:0"_qs,
                           u"    Liste:Aus;Ein"_qs,
                           u"    Max:1"_qs,
                           u"    Min:0"_qs,
                           u"    Name:Wohnzimmerlicht Decke"_qs,
                           u"    Typ:EIS1"_qs,
                           u"Intern"_qs};
        QTest::newRow("shared folders, path without the last separator")
            << cobject(u"eib"_qs, u"EG\\Küche\\"_qs, u"0/0/2"_qs, u"Licht"_qs, u"2"_qs) +
                   cobject(u"eib"_qs, u"EG\\Küche\\"_qs, u"0/0/3"_qs, u"Herd"_qs, u"3"_qs) +
                   cobject(u"eib"_qs, u"EG\\Küche"_qs, u"0/0/4"_qs, u"Flur"_qs, u"4"_qs)
            << false
            << QStringList{u"EIB"_qs,
                           u"  EG"_qs,
                           u"    0/0/4 Flur..."_qs,
                           u"    Küche"_qs,
                           u"      0/0/2 Licht..."_qs,
                           u"      0/0/3 Herd..."_qs,
                           u"Intern"_qs};
        QTest::newRow("only \"internal\" exactly is internal")
            << cobject(u"internal"_qs, u""_qs, u"9/0/1"_qs, u"Uhrzeit"_qs, u"100"_qs) +
                   cobject(u"Internal"_qs, u""_qs, u"9/0/2"_qs, u"Datum"_qs, u"101"_qs)
            << false << QStringList{u"EIB"_qs, u"  9/0/2 Datum..."_qs, u"Intern"_qs, u"  9/0/1 Uhrzeit..."_qs};
        QTest::newRow("siblings sorted without regard to case")
            << cobject(u"eib"_qs, u"beta\\"_qs, u"0/0/1"_qs, u"x"_qs, u"1"_qs) +
                   cobject(u"eib"_qs, u"Gamma\\"_qs, u"0/0/2"_qs, u"x"_qs, u"2"_qs) +
                   cobject(u"eib"_qs, u"Alpha\\"_qs, u"0/0/3"_qs, u"x"_qs, u"3"_qs)
            << false
            << QStringList{
                   u"EIB"_qs,     u"  Alpha"_qs,        u"    0/0/3 x..."_qs, u"  beta"_qs, u"    0/0/1 x..."_qs,
                   u"  Gamma"_qs, u"    0/0/2 x..."_qs, u"Intern"_qs};
        QTest::newRow("empty segments are folders without text")
            << cobject(u"eib"_qs, u"\\EG\\\\"_qs, u"0/0/1"_qs, u"x"_qs, u"1"_qs) << false
            << QStringList{u"EIB"_qs, u"  "_qs, u"    EG"_qs, u"      "_qs, u"        0/0/1 x..."_qs, u"Intern"_qs};
        QTest::newRow("markup and non-ASCII characters in names")
            << cobject(u"eib"_qs, u"Außen\\"_qs, u"0/0/1"_qs, u"<b>Tür</b> & \"Tor\""_qs, u"1"_qs) << false
            << QStringList{u"EIB"_qs, u"  Außen"_qs, u"    0/0/1 <b>Tür</b> &..."_qs, u"Intern"_qs};
        QTest::newRow("an element lacking an attribute ends the build there")
            << cobject(u"eib"_qs, u"A\\"_qs, u"0/0/1"_qs, u"Erstes"_qs, u"1"_qs) +
                   u"<cobject type=\"eib\" path=\"B\\C\\\" ga=\"0/0/2\" name=\"Zweites\" ganum=\"2\" init=\"1\"/>\n"_qs +
                   cobject(u"eib"_qs, u"D\\"_qs, u"0/0/3"_qs, u"Drittes"_qs, u"3"_qs)
            << true
            << QStringList{u"EIB"_qs,
                           u"  A"_qs,
                           u"    0/0/1 Erstes..."_qs,
                           u"      GA/N:1"_qs,
                           u"      GA:0/0/1"_qs,
                           u"      Init:0"_qs,
                           u"      Liste:Aus;Ein"_qs,
                           u"      Max:1"_qs,
                           u"      Min:0"_qs,
                           u"      Name:Erstes"_qs,
                           u"      Typ:EIS1"_qs,
                           u"  B"_qs,
                           u"    C"_qs,
                           u"      0/0/2 Zweites..."_qs,
                           u"        GA/N:2"_qs,
                           u"        GA:0/0/2"_qs,
                           u"        Init:1"_qs,
                           u"        Name:Zweites"_qs,
                           u"Intern"_qs};
        QTest::newRow("an element without a name adds only its folders")
            << u"<cobject type=\"eib\" path=\"A\\B\\\" ga=\"0/0/2\"/>\n"_qs +
                   cobject(u"eib"_qs, u"D\\"_qs, u"0/0/3"_qs, u"Drittes"_qs, u"3"_qs)
            << false << QStringList{u"EIB"_qs, u"  A"_qs, u"    B"_qs, u"Intern"_qs};
        QTest::newRow("a segment reading like an object's label is a folder")
            << cobject(u"eib"_qs, u""_qs, u"0/0/1"_qs, u"x"_qs, u"1"_qs) +
                   cobject(u"eib"_qs, u"0/0/1 x...\\"_qs, u"0/0/2"_qs, u"y"_qs, u"2"_qs)
            << false
            << QStringList{u"EIB"_qs, u"  0/0/1 x..."_qs, u"  0/0/1 x..."_qs, u"    0/0/2 y..."_qs, u"Intern"_qs};
        QTest::newRow("no objects") << QString() << false << QStringList{u"EIB"_qs, u"Intern"_qs};
    }
    void buildsTheTree() {
        QFETCH(QString, elements);
        QFETCH(bool, details);
        QFETCH(QStringList, expected);
        const CatalogueParse parse = parseCatalogue(document(elements));
        QVERIFY(parse.wellFormed);
        QCOMPARE(dump(parse.tree, details), expected);
    }

    void refusesBrokenDocuments_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not well-formed") << QByteArray("<cobjects><cobject type=\"eib\"></cobjects>");
        QTest::newRow("cut short") << document(cobject(u"eib"_qs, {}, u"1/2/3"_qs, u"x"_qs, u"1"_qs)).left(80);
        QTest::newRow("entity expansion") << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE c [<!ENTITY a \"aaaaaaaa\">"
                                                        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n"
                                                        "<cobjects><cobject type=\"eib\" path=\"\" ga=\"1/1/1\" "
                                                        "name=\"&b;\" ganum=\"1\" init=\"\" min=\"\" max=\"\" "
                                                        "list=\"\" fmt=\"\"/></cobjects>");
        QTest::newRow("external entity") << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE c [<!ENTITY x SYSTEM "
                                                       "\"file:///etc/passwd\">]>\n<cobjects>&x;</cobjects>");
        QTest::newRow("undeclared entity") << QByteArray("<cobjects><cobject name=\"&x;\"/></cobjects>");
    }
    void refusesBrokenDocuments() {
        QFETCH(QByteArray, bytes);
        const CatalogueParse parse = parseCatalogue(bytes);
        QVERIFY(!parse.wellFormed);
        QVERIFY(parse.errorCode > 0);
        QVERIFY(!parse.tree);
    }

    void buildsALargeCatalogue() {
        const int n = 50000;
        int lastProgress = -1;
        bool rising = true;
        const CatalogueParse parse = parseCatalogue(largeCatalogue(n), [&](int permille) {
            rising = rising && permille > lastProgress && permille <= 1000;
            lastProgress = permille;
        });
        QVERIFY(parse.wellFormed);
        QCOMPARE(parse.tree->objectCount(), n);
        QVERIFY(rising);
        QVERIFY(lastProgress > 900);
        // Every object hangs below its group's building and room, labelled by its number's name.
        const CatalogueTree &tree = *parse.tree;
        QCOMPARE(tree.node(tree.roots()[0]).text, u"EIB"_qs);
        QCOMPARE(tree.node(tree.roots()[0]).children.size(), 50u);
        QCOMPARE(tree.node(tree.roots()[1]).children.size(), 50u);
        const CommObject *o =
            tree.objectOf(tree.node(tree.node(tree.node(tree.roots()[1]).children[0]).children[0]).children[0]);
        QVERIFY(o);
        QCOMPARE(o->type, u"internal"_qs);
        QCOMPARE(o->name, u"Objekt <%1> & K\u00fcche"_qs.arg(o->ganum));
    }

    // Folders nest no deeper than the budget; the objects of deeper paths share the deepest folder.
    void foldsPathsDeeperThanTheFolderBudget_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("levels");
        QTest::addColumn<int>("folded");
        QTest::newRow("at the budget") << deepPath(kMaxFolderDepth) << kMaxFolderDepth << 0;
        QTest::newRow("at the budget, text after the last separator")
            << deepPath(kMaxFolderDepth) + u"Rest"_qs << kMaxFolderDepth << 0;
        QTest::newRow("one level deeper") << deepPath(kMaxFolderDepth + 1) << kMaxFolderDepth << 2;
        QTest::newRow("30,000 levels") << deepPath(30000) << kMaxFolderDepth << 2;
        QTest::newRow("a shallow path") << deepPath(3) << 3 << 0;
    }
    void foldsPathsDeeperThanTheFolderBudget() {
        QFETCH(QString, path);
        QFETCH(int, levels);
        QFETCH(int, folded);
        const CatalogueParse parse =
            parseCatalogue(document(cobject(u"eib"_qs, path, u"1/1/1"_qs, u"Erstes"_qs, u"1"_qs) +
                                    cobject(u"eib"_qs, path, u"1/1/2"_qs, u"Zweites"_qs, u"2"_qs)));
        QVERIFY(parse.wellFormed);
        QCOMPARE(parse.tree->foldedObjects(), folded);
        CatalogueModel model;
        model.setTree(parse.tree);
        QModelIndex object;
        QCOMPARE(folderLevels(model, model.index(0, 0), &object), levels);
        // Both objects stand side by side in the deepest folder.
        QCOMPARE(object.data().toString(), u"1/1/1 Erstes..."_qs);
        QCOMPARE(model.index(1, 0, object.parent()).data().toString(), u"1/1/2 Zweites..."_qs);
        QCOMPARE(model.rowCount(object.parent()), 2);
    }

    void dragsTheObjectWithItsNumberAddressAndName() {
        const CatalogueParse parse =
            parseCatalogue(document(cobject(u"eib"_qs, u"EG\\"_qs, u"1/2/3"_qs, u"Licht <Flur>"_qs, u"768"_qs)));
        CatalogueModel model;
        model.setTree(parse.tree);
        const QModelIndex folder = model.index(0, 0, model.index(0, 0));
        const QModelIndex object = model.index(0, 0, folder);
        QVERIFY(!(model.flags(folder) & Qt::ItemIsDragEnabled));
        QVERIFY(model.flags(object) & Qt::ItemIsDragEnabled);
        QVERIFY(!(model.flags(model.index(0, 0, object)) & Qt::ItemIsDragEnabled));
        QCOMPARE(model.mimeTypes(), QStringList{QLatin1String(kCommObjectMimeType)});
        std::unique_ptr<QMimeData> mime(model.mimeData({object}));
        QVERIFY(mime);
        QCOMPARE(draggedObject(mime.get()), (DraggedObject{u"768"_qs, u"1/2/3"_qs, u"Licht <Flur>"_qs}));
        QVERIFY(!model.mimeData({folder}));

        // Drops of other data, or of damaged data, carry no object.
        QMimeData text;
        text.setText(u"768"_qs);
        QVERIFY(!draggedObject(&text));
        QMimeData damaged;
        damaged.setData(QLatin1String(kCommObjectMimeType), "\x01\x00");
        QVERIFY(!draggedObject(&damaged));
        QVERIFY(!draggedObject(nullptr));
    }

    // Without a mouse: the context menu of an object offers the drop targets on screen, and each
    // gets the object as a drop would bring it.
    void dropOntoFromTheContextMenu_data() {
        QTest::addColumn<bool>("onObject");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("offered");
        const QStringList shown{u"Menü"_qs, u"Liste"_qs};
        QTest::newRow("context-menu key") << true << u"key"_qs << shown;
        QTest::newRow("Shift+F10") << true << u"shift+f10"_qs << shown;
        QTest::newRow("right click") << true << u"mouse"_qs << shown;
        QTest::newRow("a folder offers nothing") << false << u"key"_qs << QStringList();
    }
    void dropOntoFromTheContextMenu() {
        QFETCH(bool, onObject);
        QFETCH(QString, how);
        QFETCH(QStringList, offered);
        QWidget window;
        auto *view = new CatalogueTreeView(&window);
        view->showCatalogue(
            parseCatalogue(document(cobject(u"eib"_qs, u"EG\\"_qs, u"1/2/3"_qs, u"Licht <Flur>"_qs, u"768"_qs))).tree);
        auto *menuPanel = new QWidget(&window);
        auto *listPanel = new QWidget(&window);
        auto *otherTab = new QWidget(&window);
        auto *gone = new QWidget(&window);
        otherTab->hide();
        QList<std::pair<QString, DraggedObject>> dropped;
        const auto target = [&](const QString &caption) {
            return [&dropped, caption](const DraggedObject &object) {
                dropped.append({caption, object});
                return true;
            };
        };
        view->dropTargets().add(menuPanel, u"Menü"_qs, target(u"Menü"_qs));
        view->dropTargets().add(otherTab, u"Versteckt"_qs, target(u"Versteckt"_qs));
        view->dropTargets().add(gone, u"Weg"_qs, target(u"Weg"_qs));
        view->dropTargets().add(listPanel, u"Liste"_qs, target(u"Liste"_qs));
        delete gone;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QAbstractItemModel *model = view->model();
        const QModelIndex folder = model->index(0, 0, model->index(0, 0));
        const QModelIndex node = onObject ? model->index(0, 0, folder) : folder;
        view->expand(model->index(0, 0));
        view->expand(folder);
        view->setCurrentIndex(node);
        if (how == u"mouse"_qs) {
            view->setCurrentIndex(folder); // the object clicked on is chosen by the click
            const QPoint at = view->visualRect(node).center();
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(view->viewport(), &click);
            QCOMPARE(view->currentIndex(), node);
        } else if (how == u"shift+f10"_qs) {
            QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            QTest::keyClick(view, Qt::Key_Menu);
        }
        auto *menu = view->findChild<QMenu *>(u"ovtreeMenu"_qs);
        if (offered.isEmpty()) {
            QVERIFY(!menu || !menu->isVisible());
            return;
        }
        QVERIFY(menu && menu->isVisible());
        auto *targets = menu->findChild<QMenu *>(u"dropOnto"_qs);
        QCOMPARE(targets->title(), u"Ablegen auf …"_qs);
        QStringList captions;
        for (const QAction *action : targets->actions())
            captions << action->text();
        QCOMPARE(captions, offered);
        targets->actions().last()->trigger();
        menu->hide();
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.at(0).first, offered.last());
        QCOMPARE(dropped.at(0).second, (DraggedObject{u"768"_qs, u"1/2/3"_qs, u"Licht <Flur>"_qs}));
    }

    void keyboardRouteToATarget_data() {
        QTest::addColumn<QKeySequence>("open");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("refusing"); // the first target cannot take an object now
        QTest::addColumn<QString>("dropped");
        const QList<int> rightReturn{Qt::Key_Right, Qt::Key_Return};
        const QKeySequence menuKey(Qt::Key_Menu);
        QTest::newRow("context-menu key, Right, Return") << menuKey << rightReturn << false << u"Menü"_qs;
        QTest::newRow("Shift+F10, Right, Return")
            << QKeySequence(Qt::SHIFT | Qt::Key_F10) << rightReturn << false << u"Menü"_qs;
        QTest::newRow("Return, Return") << menuKey << QList<int>{Qt::Key_Return, Qt::Key_Return} << false << u"Menü"_qs;
        QTest::newRow("Right, Down, Return")
            << menuKey << QList<int>{Qt::Key_Right, Qt::Key_Down, Qt::Key_Return} << false << u"Liste"_qs;
        // A target that cannot take an object now is passed over.
        QTest::newRow("refusing target") << menuKey << rightReturn << true << u"Liste"_qs;
    }

    // From the keyboard the menu opens with "Ablegen auf …" marked but closed; Right or Return
    // opens it with its first target marked, and Return puts the object there. A target that
    // refuses just now is shown greyed with its reason.
    void keyboardRouteToATarget() {
        QFETCH(QKeySequence, open);
        QFETCH(QList<int>, keys);
        QFETCH(bool, refusing);
        QFETCH(QString, dropped);
        QWidget window;
        auto *view = new CatalogueTreeView(&window);
        view->showCatalogue(
            parseCatalogue(document(cobject(u"eib"_qs, u"EG\\"_qs, u"1/2/3"_qs, u"Licht"_qs, u"768"_qs))).tree);
        QStringList taken;
        const auto target = [&taken](const QString &caption) {
            return [&taken, caption](const DraggedObject &) {
                taken.append(caption);
                return true;
            };
        };
        auto *menuPanel = new QWidget(&window);
        auto *listPanel = new QWidget(&window);
        view->dropTargets().add(menuPanel, u"Menü"_qs, target(u"Menü"_qs),
                                [refusing] { return refusing ? u"erst Parameter abschließen"_qs : QString(); });
        view->dropTargets().add(listPanel, u"Liste"_qs, target(u"Liste"_qs));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QAbstractItemModel *model = view->model();
        view->expandAll();
        view->setCurrentIndex(model->index(0, 0, model->index(0, 0, model->index(0, 0))));
        view->setFocus();

        QTest::keySequence(view, open);
        auto *menu = view->findChild<QMenu *>(u"ovtreeMenu"_qs);
        QVERIFY(menu && menu->isVisible());
        auto *targets = menu->findChild<QMenu *>(u"dropOnto"_qs);
        QCOMPARE(menu->activeAction(), targets->menuAction());
        QVERIFY(!targets->isVisible());
        const QList<QAction *> offered = targets->actions();
        QCOMPARE(offered.at(0)->text(), refusing ? u"Menü – erst Parameter abschließen"_qs : u"Menü"_qs);
        QCOMPARE(offered.at(0)->isEnabled(), !refusing);

        // The first key opens the targets with the first usable one marked.
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(keys.first()));
        QVERIFY(targets->isVisible());
        QCOMPARE(targets->activeAction(), offered.at(refusing ? 1 : 0));
        for (int key : keys.mid(1)) {
            QVERIFY(QApplication::activePopupWidget());
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(key));
        }
        QCOMPARE(taken, QStringList{dropped});
        QVERIFY(!menu->isVisible());
    }

    void selectionSetsTheNumberAndClicksShowTheName() {
        TempProgramFolder folder;
        Catalogue c(folder);
        // A load from the copy (nothing listens on the port) gives the tree.
        QVERIFY(folder.write(u"cobjects.xml"_qs, document(cobject(u"eib"_qs, u"EG\\"_qs, u"1/2/3"_qs,
                                                                  u"Licht im langen Flur"_qs, u"768"_qs))));
        c.port = u"1"_qs;
        QVERIFY(c.load());
        QTreeView *view = c.tree();
        const QAbstractItemModel *model = view->model();
        const QModelIndex eib = model->index(0, 0);
        const QModelIndex eg = model->index(0, 0, eib);
        const QModelIndex object = model->index(0, 0, eg);

        view->setCurrentIndex(eg);
        QCOMPARE(c.controller.selectedGan(), QString());
        view->setCurrentIndex(object);
        QCOMPARE(c.controller.selectedGan(), u"768"_qs);
        view->setCurrentIndex(model->index(3, 0, object)); // a detail line
        QCOMPARE(c.controller.selectedGan(), u"768"_qs);

        view->expand(eib);
        view->expand(eg);
        view->setCurrentIndex(object);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(object).center());
        QCOMPARE(c.status, u"Licht im langen Flur"_qs);
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"

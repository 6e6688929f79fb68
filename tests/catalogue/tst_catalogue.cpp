#include "AnsiText.h"
#include "CatalogueController.h"
#include "CatalogueDrag.h"
#include "CatalogueModel.h"
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

namespace {
QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

// One complete "cobject" element.
QString cobject(const QString &type, const QString &path, const QString &ga, const QString &name,
                const QString &ganum) {
    return u"<cobject type=\"%1\" path=\"%2\" ga=\"%3\" name=\"%4\" ganum=\"%5\" init=\"0\" min=\"0\" max=\"1\" "
           "list=\"Aus;Ein\" fmt=\"EIS1\"/>\n"_qs.arg(escaped(type), escaped(path), escaped(ga), escaped(name),
                                                      escaped(ganum));
}

QByteArray document(const QString &elements) {
    return AnsiText::encode(u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<cobjects>\n"_qs + elements +
                            u"</cobjects>\n"_qs);
}

// The model's rows, two blanks of indentation per level; detail lines only when asked for.
void dumpRows(const CatalogueModel &model, const QModelIndex &parent, int depth, bool details, QStringList &into) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        QCOMPARE(model.parent(index), parent);
        if (model.nodeId(index) < 0 && !details)
            continue;
        into.append(QString(depth * 2, u' ') + index.data().toString());
        dumpRows(model, index, depth + 1, details, into);
    }
}

QStringList dump(const std::shared_ptr<const CatalogueTree> &tree, bool details) {
    CatalogueModel model;
    model.setTree(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QStringList lines;
    dumpRows(model, {}, 0, details, lines);
    return lines;
}

// A catalogue of n objects in 50 folders of 10 rooms, as a large installation has.
QByteArray largeCatalogue(int n) {
    QString elements;
    elements.reserve(n * 170);
    for (int i = 0; i < n; ++i)
        elements +=
            cobject(i % 7 == 0 ? u"internal"_qs : u"eib"_qs, u"Geb\u00e4ude %1\\Raum %2\\"_qs.arg(i % 50).arg(i % 10),
                    u"%1/%2/%3"_qs.arg(i / 65536).arg(i / 256 % 256).arg(i % 256),
                    u"Objekt <%1> & K\u00fcche"_qs.arg(i), QString::number(i));
    return document(elements);
}

// The catalogue column with its controller, as the program puts them together, on a given server.
struct Catalogue {
    explicit Catalogue(const TempProgramFolder &folder)
        : controller(column, dialogs, network, folder.file(u"cobjects.xml"_qs),
                     {[] { return u"127.0.0.1"_qs; }, [this] { return port; },
                      [this](bool paused) { pauses.append(paused); },
                      [this](const QString &text) {
                          status = text;
                      }}) {
        column.attach(controller);
    }

    // Presses "OV Struktur laden" and waits for the load to end.
    bool load() {
        QSignalSpy finished(&controller, &CatalogueController::loadFinished);
        column.findChild<QPushButton *>(u"OVxmlLoadbtn"_qs)->click();
        return finished.count() == 1 || finished.wait(40000);
    }
    QTreeView *tree() const { return column.findChild<QTreeView *>(u"ovtree"_qs); }

    CatalogueColumn column;
    FakeDialogs dialogs;
    QNetworkAccessManager network;
    QString port;
    QList<bool> pauses;
    QString status;
    CatalogueController controller;
};

const QString kLoadError = u"\rKonnte die Datei vom Orvanel nicht laden!"_qs;

// n objects "0/0/i" named "Objekt i" in one folder.
QByteArray numberedCatalogue(int n) {
    QString elements;
    for (int i = 0; i < n; ++i)
        elements += cobject(u"eib"_qs, u"EG\\"_qs, u"0/0/%1"_qs.arg(i), u"Objekt %1"_qs.arg(i), QString::number(i));
    return document(elements);
}

// A path of n folders "Ebene\".
QString deepPath(int n) {
    return u"Ebene\\"_qs.repeated(n);
}

// The folder levels below index down to its first object, taking the first folder of each level.
int folderLevels(const QAbstractItemModel &model, QModelIndex index, QModelIndex *object) {
    int levels = 0;
    for (;;) {
        index = model.index(0, 0, index);
        if (!index.isValid() || model.data(index, Qt::DisplayRole).toString() != u"Ebene"_qs)
            break;
        ++levels;
    }
    *object = index;
    return levels;
}
} // namespace

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

    void fetchesFromTheServerAndFallsBackToTheCopy() {
        TempProgramFolder folder;
        OvsimProcess ovsim;
        QVERIFY(ovsim.start());
        Catalogue c(folder);
        c.port = QString::number(ovsim.webPort());
        QProgressBar *bar = c.column.findChild<QProgressBar *>(u"loadxmlbar"_qs);
        QPushButton *button = c.column.findChild<QPushButton *>(u"OVxmlLoadbtn"_qs);
        QSignalSpy finished(&c.controller, &CatalogueController::loadFinished);

        // While loading the bar shows and the button rests; polling is paused and resumed.
        button->click();
        QVERIFY(!bar->isHidden());
        QVERIFY(!button->isEnabled());
        QVERIFY(finished.wait(40000));
        QVERIFY(bar->isHidden());
        QCOMPARE(bar->value(), 0);
        QVERIFY(button->isEnabled());
        QCOMPARE(c.pauses, (QList<bool>{true, false}));
        QVERIFY(c.dialogs.boxes.isEmpty());

        // The copy is the document as served; the tree holds its objects, grouped.
        QFile demo(QStringLiteral(QUENDRA_SOURCE_DIR "/resources/demo/cobjects.xml"));
        QVERIFY(demo.open(QIODevice::ReadOnly));
        const QByteArray served = demo.readAll();
        QCOMPARE(folder.read(u"cobjects.xml"_qs), served);
        const int count = parseCatalogue(served).tree->objectCount();
        QVERIFY(count > 10);
        QCOMPARE(c.controller.objectCount(), count);
        QCOMPARE(c.status, u"Mit OV verbunden / %1 KO gefunden"_qs.arg(count));
        const QAbstractItemModel *model = c.tree()->model();
        QCOMPARE(model->index(0, 0).data().toString(), u"EIB"_qs);
        QCOMPARE(model->index(1, 0).data().toString(), u"Intern"_qs);

        // The user opens a folder and picks an object; then the server goes away.
        QTreeView *view = c.tree();
        const QModelIndex eib = model->index(0, 0);
        const QModelIndex folderIndex = model->index(0, 0, eib);
        const QModelIndex object = model->index(0, 0, folderIndex);
        QVERIFY(model->rowCount(object) == CatalogueTree::kDetailCount);
        view->expand(eib);
        view->expand(folderIndex);
        view->setCurrentIndex(object);
        const QString gan = c.controller.selectedGan();
        QVERIFY(!gan.isEmpty());
        const QString folderText = folderIndex.data().toString();
        const QString objectText = object.data().toString();
        ovsim.stop();

        QVERIFY(c.load());
        const QStringList errors = c.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(u"XML feheler "_qs) && errors.first().endsWith(kLoadError),
                 qPrintable(errors.first()));
        QCOMPARE(folder.read(u"cobjects.xml"_qs), served);
        QCOMPARE(c.controller.objectCount(), count);
        QCOMPARE(c.status, u"Mit OV verbunden / %1 KO gefunden"_qs.arg(count));
        QCOMPARE(c.pauses, (QList<bool>{true, false, true, false}));
        // Rebuilt from the copy, with the folders open and the object selected as before.
        const QModelIndex eibAgain = model->index(0, 0);
        QVERIFY(view->isExpanded(eibAgain));
        QCOMPARE(model->index(0, 0, eibAgain).data().toString(), folderText);
        QVERIFY(view->isExpanded(model->index(0, 0, eibAgain)));
        QCOMPARE(view->currentIndex().data().toString(), objectText);
        QCOMPARE(c.controller.selectedGan(), gan);
    }

    void keepsTheCopyWhenTheServerFails_data() {
        QTest::addColumn<QByteArray>("response"); // empty: connection refused
        QTest::addColumn<bool>("answers");
        QTest::addColumn<int>("code");
        QTest::newRow("404") << LoopbackHttpServer::response("404 Not Found", "nicht da") << true
                             << int(QNetworkReply::ContentNotFoundError);
        QTest::newRow("500") << LoopbackHttpServer::response("500 Internal Server Error", "kaputt") << true
                             << int(QNetworkReply::InternalServerError);
        QTest::newRow("never answers") << QByteArray() << false << int(QNetworkReply::OperationCanceledError);
        QTest::newRow("refused") << QByteArray() << true << int(QNetworkReply::ConnectionRefusedError);
        QTest::newRow("not well-formed") << LoopbackHttpServer::response("200 OK", "<cobjects><cobject>") << true
                                         << int(QXmlStreamReader::PrematureEndOfDocumentError);
        QTest::newRow("empty document") << LoopbackHttpServer::response("200 OK", "") << true
                                        << int(QXmlStreamReader::PrematureEndOfDocumentError);
        QTest::newRow("document type") << LoopbackHttpServer::response("200 OK",
                                                                       "<!DOCTYPE c [<!ENTITY a \"b\">]><cobjects/>")
                                       << true << int(QXmlStreamReader::CustomError);
        QTest::newRow("over the size budget")
            << LoopbackHttpServer::response("200 OK", largeCatalogue(100)) << true << CatalogueLoader::kTooLargeCode;
    }
    void keepsTheCopyWhenTheServerFails() {
        QFETCH(QByteArray, response);
        QFETCH(bool, answers);
        QFETCH(int, code);
        TempProgramFolder folder;
        const QByteArray copy = document(cobject(u"eib"_qs, u"EG\\"_qs, u"1/2/3"_qs, u"Licht"_qs, u"768"_qs) +
                                         cobject(u"internal"_qs, u""_qs, u"9/9/9"_qs, u"Zeit"_qs, u"9"_qs));
        QVERIFY(folder.write(u"cobjects.xml"_qs, copy));
        Catalogue c(folder);
        std::unique_ptr<LoopbackHttpServer> server;
        if (!response.isEmpty() || !answers) {
            server = std::make_unique<LoopbackHttpServer>(response, answers);
            c.port = QString::number(server->port());
        } else {
            QTcpServer closed; // a port that was free a moment ago refuses
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            c.port = QString::number(closed.serverPort());
        }
        c.controller.loader().setTimeout(300);
        c.controller.loader().setMaxDocumentBytes(4096);

        QVERIFY(c.load());
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error), QStringList{u"XML feheler %1"_qs.arg(code) + kLoadError});
        QCOMPARE(folder.read(u"cobjects.xml"_qs), copy);
        QCOMPARE(c.controller.objectCount(), 2);
        QCOMPARE(c.status, u"Mit OV verbunden / 2 KO gefunden"_qs);
        QCOMPARE(c.tree()->model()->index(0, 0).data().toString(), u"EIB"_qs);
        QCOMPARE(c.pauses, (QList<bool>{true, false}));
    }

    void keepsTheTreeWithoutAUsableCopy_data() {
        QTest::addColumn<QByteArray>("copy"); // empty: no copy at all
        QTest::newRow("no copy") << QByteArray();
        QTest::newRow("broken copy") << QByteArray("<cobjects><cobject");
    }
    void keepsTheTreeWithoutAUsableCopy() {
        QFETCH(QByteArray, copy);
        TempProgramFolder folder;
        if (!copy.isEmpty())
            QVERIFY(folder.write(u"cobjects.xml"_qs, copy));
        Catalogue c(folder);
        const auto shown = parseCatalogue(document(cobject(u"eib"_qs, u""_qs, u"1/1/1"_qs, u"Alt"_qs, u"5"_qs))).tree;
        c.column.showCatalogue(shown);
        c.port = u"1"_qs;
        QVERIFY(c.load());
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), 1);
        QCOMPARE(c.tree()->model()->index(0, 0, c.tree()->model()->index(0, 0)).data().toString(), u"1/1/1 Alt..."_qs);
        QCOMPARE(c.status, u"Mit OV verbunden / 0 KO gefunden"_qs);
        QCOMPARE(folder.read(u"cobjects.xml"_qs), copy);
    }

    // A server's path of 30,000 folders: the tree loads, the user opens everything with "*" and the
    // view lays it out; the status tells how many objects stand in the deepest folder instead.
    void expandsACatalogueWithADeepPath() {
        TempProgramFolder folder;
        const QByteArray bytes = document(cobject(u"eib"_qs, deepPath(30000), u"1/1/1"_qs, u"Tief"_qs, u"1"_qs) +
                                          cobject(u"eib"_qs, u"EG\\"_qs, u"1/1/2"_qs, u"Flach"_qs, u"2"_qs));
        LoopbackHttpServer server(LoopbackHttpServer::response("200 OK", bytes));
        Catalogue c(folder);
        c.port = QString::number(server.port());
        c.column.resize(CatalogueColumn::kWidth, 600);
        c.column.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c.column));
        QVERIFY(c.load());
        QVERIFY(c.dialogs.boxes.isEmpty());
        QCOMPARE(folder.read(u"cobjects.xml"_qs), bytes);

        QTreeView *view = c.tree();
        const QAbstractItemModel *model = view->model();
        const QModelIndex eib = model->index(0, 0);
        view->setCurrentIndex(eib);
        QTest::keyClick(view, Qt::Key_Asterisk);
        QModelIndex object;
        const int levels = folderLevels(*model, eib, &object);
        QVERIFY(view->isExpanded(object.parent()));
        // Laid out: each row below its parent's (its rect's width is negative, past the column's edge).
        QVERIFY(view->visualRect(object).top() > view->visualRect(object.parent()).top());
        view->expandAll();
        QVERIFY(view->visualRect(model->index(0, 0, object)).top() > view->visualRect(object).top());
        QVERIFY(!view->grab().isNull());

        QCOMPARE(levels, kMaxFolderDepth);
        QCOMPARE(object.data().toString(), u"1/1/1 Tief..."_qs);
        QCOMPARE(c.status,
                 u"Mit OV verbunden / 2 KO gefunden / 1 KO mit mehr als %1 Ordnerebenen im tiefsten Ordner"_qs.arg(
                     kMaxFolderDepth));
    }

    // A server that sends a byte now and then is never silent for long, yet the load ends at the
    // time limit of the whole transfer, as any failed fetch does.
    void endsATricklingTransferAtItsTimeLimit() {
        TempProgramFolder folder;
        const QByteArray copy = document(cobject(u"eib"_qs, u"EG\\"_qs, u"1/2/3"_qs, u"Licht"_qs, u"768"_qs));
        QVERIFY(folder.write(u"cobjects.xml"_qs, copy));
        TricklingHttpServer server(LoopbackHttpServer::response("200 OK", largeCatalogue(1000)), 10);
        Catalogue c(folder);
        c.port = QString::number(server.port());
        c.controller.loader().setTimeout(60000); // longer than the test waits
        c.controller.loader().setTransferLimit(500);
        QPushButton *button = c.column.findChild<QPushButton *>(u"OVxmlLoadbtn"_qs);

        QVERIFY(c.load());
        QVERIFY(server.bytesSent() > 0);
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error),
                 QStringList{u"XML feheler %1"_qs.arg(int(QNetworkReply::OperationCanceledError)) + kLoadError});
        QVERIFY(button->isEnabled());
        QCOMPARE(c.pauses, (QList<bool>{true, false}));
        QCOMPARE(folder.read(u"cobjects.xml"_qs), copy);
        QCOMPARE(c.controller.objectCount(), 1);
        QCOMPARE(c.status, u"Mit OV verbunden / 1 KO gefunden"_qs);
    }

    // A document over the object budget: the tree holds the first objects, and the user is told
    // how many it lacks, whether the document came from the server or from the copy.
    void tellsWhatTheObjectBudgetLeftOut_data() {
        QTest::addColumn<int>("objects");
        QTest::addColumn<bool>("fromCopy");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("notes");
        const QStringList cut{u"Der Baum zeigt nur die ersten 10 KO des Katalogs; 5 weitere KO fehlen darin."_qs};
        QTest::newRow("fetched") << 15 << false << u"Mit OV verbunden / 10 KO gefunden / 5 weitere KO nicht gezeigt"_qs
                                 << cut;
        QTest::newRow("from the copy") << 15 << true
                                       << u"Mit OV verbunden / 10 KO gefunden / 5 weitere KO nicht gezeigt"_qs << cut;
        QTest::newRow("exactly the budget") << 10 << false << u"Mit OV verbunden / 10 KO gefunden"_qs << QStringList();
    }
    void tellsWhatTheObjectBudgetLeftOut() {
        QFETCH(int, objects);
        QFETCH(bool, fromCopy);
        QFETCH(QString, status);
        QFETCH(QStringList, notes);
        TempProgramFolder folder;
        const QByteArray bytes = numberedCatalogue(objects);
        LoopbackHttpServer server(LoopbackHttpServer::response("200 OK", bytes));
        Catalogue c(folder);
        c.controller.loader().setMaxObjects(10);
        if (fromCopy) {
            QVERIFY(folder.write(u"cobjects.xml"_qs, bytes));
            c.port = u"1"_qs;
        } else {
            c.port = QString::number(server.port());
        }
        QVERIFY(c.load());
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Information), notes);
        QCOMPARE(c.dialogs.texts(FakeDialogs::Kind::Error).size(), fromCopy ? 1 : 0);
        QCOMPARE(c.status, status);
        QCOMPARE(c.controller.objectCount(), 10);
        // The copy keeps the whole document: the console finds every object in it.
        QCOMPARE(folder.read(u"cobjects.xml"_qs), bytes);
    }

    // A copy that cannot be written is reported as the catalogue's other failures are; the tree
    // shows what was fetched.
    void reportsACopyThatCannotBeWritten() {
        TempProgramFolder folder;
        QVERIFY(QDir(folder.path()).mkdir(u"cobjects.xml"_qs)); // no file can replace a folder
        const QByteArray bytes = numberedCatalogue(3);
        LoopbackHttpServer server(LoopbackHttpServer::response("200 OK", bytes));
        Catalogue c(folder);
        c.port = QString::number(server.port());
        QVERIFY(c.load());
        const QStringList errors = c.dialogs.texts(FakeDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(
                     u"Die Datei \"%1\" kann nicht geschrieben werden"_qs.arg(folder.file(u"cobjects.xml"_qs))),
                 qPrintable(errors.first()));
        QCOMPARE(c.controller.objectCount(), 3);
        QCOMPARE(c.status, u"Mit OV verbunden / 3 KO gefunden"_qs);
        QCOMPARE(c.pauses, (QList<bool>{true, false}));
        QVERIFY(QFileInfo(folder.file(u"cobjects.xml"_qs)).isDir());
    }

    void loadsALargeCatalogueFromTheServer() {
        TempProgramFolder folder;
        const QByteArray bytes = largeCatalogue(50000);
        LoopbackHttpServer server(LoopbackHttpServer::response("200 OK", bytes));
        Catalogue c(folder);
        c.port = QString::number(server.port());
        // The window keeps turning while the catalogue is read and built.
        int turns = 0;
        QTimer spinner;
        connect(&spinner, &QTimer::timeout, this, [&] { ++turns; });
        spinner.start(0);
        QVERIFY(c.load());
        spinner.stop();
        QVERIFY(turns > 10);
        QVERIFY(c.dialogs.boxes.isEmpty());
        QCOMPARE(c.controller.objectCount(), 50000);
        QCOMPARE(folder.read(u"cobjects.xml"_qs), bytes);
    }
};

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"

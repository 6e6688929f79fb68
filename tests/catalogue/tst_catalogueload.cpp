// "OV Struktur laden": the fetch from the server, the copy, and servers that fail, trickle or send
// too much.
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

class TestCatalogueLoad : public QObject {
    Q_OBJECT

private slots:
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

QTEST_MAIN(TestCatalogueLoad)
#include "tst_catalogueload.moc"

#pragma once

// What the catalogue's tests share: documents of every size and shape, a dump of the tree model, and
// the catalogue column with its controller as the program puts them together.

#include "AnsiText.h"
#include "CatalogueController.h"
#include "CatalogueModel.h"
#include "FakeDialogs.h"
#include "TempProgramFolder.h"
#include "WorkArea.h"

#include <QAbstractItemModelTester>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

inline QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

// One complete "cobject" element.
inline QString cobject(const QString &type, const QString &path, const QString &ga, const QString &name,
                       const QString &ganum) {
    return u"<cobject type=\"%1\" path=\"%2\" ga=\"%3\" name=\"%4\" ganum=\"%5\" init=\"0\" min=\"0\" max=\"1\" "
           "list=\"Aus;Ein\" fmt=\"EIS1\"/>\n"_qs.arg(escaped(type), escaped(path), escaped(ga), escaped(name),
                                                      escaped(ganum));
}

inline QByteArray document(const QString &elements) {
    return AnsiText::encode(u"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<cobjects>\n"_qs + elements +
                            u"</cobjects>\n"_qs);
}

// The model's rows, two blanks of indentation per level; detail lines only when asked for.
inline void dumpRows(const CatalogueModel &model, const QModelIndex &parent, int depth, bool details,
                     QStringList &into) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        QCOMPARE(model.parent(index), parent);
        if (model.nodeId(index) < 0 && !details)
            continue;
        into.append(QString(depth * 2, u' ') + index.data().toString());
        dumpRows(model, index, depth + 1, details, into);
    }
}

inline QStringList dump(const std::shared_ptr<const CatalogueTree> &tree, bool details) {
    CatalogueModel model;
    model.setTree(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QStringList lines;
    dumpRows(model, {}, 0, details, lines);
    return lines;
}

// A catalogue of n objects in 50 folders of 10 rooms, as a large installation has.
inline QByteArray largeCatalogue(int n) {
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

inline const QString kLoadError = u"\rKonnte die Datei vom Orvanel nicht laden!"_qs;

// n objects "0/0/i" named "Objekt i" in one folder.
inline QByteArray numberedCatalogue(int n) {
    QString elements;
    for (int i = 0; i < n; ++i)
        elements += cobject(u"eib"_qs, u"EG\\"_qs, u"0/0/%1"_qs.arg(i), u"Objekt %1"_qs.arg(i), QString::number(i));
    return document(elements);
}

// A path of n folders "Ebene\".
inline QString deepPath(int n) {
    return u"Ebene\\"_qs.repeated(n);
}

// The folder levels below index down to its first object, taking the first folder of each level.
inline int folderLevels(const QAbstractItemModel &model, QModelIndex index, QModelIndex *object) {
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

#pragma once

#include "CatalogueDrag.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QWidget>
#include <memory>

// What a user does to widgets, shared by the widget tests.
namespace WidgetDriving {

// The child widget with this name; a missing one is named in the test's output.
template <typename W> W *named(const QObject *root, const QString &name) {
    W *widget = root->findChild<W *>(name);
    if (!widget)
        qWarning("no widget %s", qPrintable(name));
    return widget;
}

// Drags the data over the target and drops it there, as a drag from another widget arrives.
// True when the target took the drop. Item views take drops on their viewport.
inline bool dropOnto(QWidget *target, const QMimeData &data) {
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

// The drag data the catalogue tree writes for an object.
inline std::unique_ptr<QMimeData> objectData(const DraggedObject &object) {
    auto data = std::make_unique<QMimeData>();
    writeDraggedObject(*data, object);
    return data;
}

// Drags an object of the catalogue onto the target and drops it there.
inline bool dropOnto(QWidget *target, const DraggedObject &object) {
    return dropOnto(target, *objectData(object));
}

// Picks an item of a drop-down list with the keys, as a user without mouse does.
inline void choose(QComboBox *box, const QString &text) {
    QVERIFY(box);
    QVERIFY(box->isEnabled());
    QVERIFY2(box->findText(text) >= 0, qPrintable(text));
    QTest::keyClick(box, Qt::Key_Home);
    while (box->currentText() != text)
        QTest::keyClick(box, Qt::Key_Down);
}

} // namespace WidgetDriving

#include "ObjectDrop.h"

#include <QDropEvent>
#include <QWidget>

ObjectDrop::ObjectDrop(QWidget *target, Accepts accepts, Drop drop)
    : QObject(target), m_accepts(std::move(accepts)), m_drop(std::move(drop)) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool ObjectDrop::eventFilter(QObject *, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const std::optional<DraggedObject> object = draggedObject(drop->mimeData());
    if (!object || !m_accepts(*object)) {
        drop->ignore();
        return true;
    }
    if (type == QEvent::Drop && !m_drop(*object)) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    return true;
}

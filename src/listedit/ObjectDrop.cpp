#include "ObjectDrop.h"

#include <QDropEvent>
#include <QWidget>

ObjectDrop::ObjectDrop(QWidget *target, Accepts accepts, Drop drop)
    : QObject(target), m_accepts(std::move(accepts)), m_drop(std::move(drop)) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool ObjectDrop::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const auto *source = qobject_cast<const QWidget *>(drop->source());
    const bool fromItself = source && (source == watched || source->isAncestorOf(static_cast<QWidget *>(watched)));
    const std::optional<DraggedObject> object = fromItself ? std::nullopt : draggedObject(drop->mimeData());
    if (!object || !m_accepts(*object) || (type == QEvent::Drop && !m_drop(*object)))
        drop->ignore();
    else
        drop->acceptProposedAction();
    return true;
}

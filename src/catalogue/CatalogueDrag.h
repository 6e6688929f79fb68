#pragma once

#include <QString>
#include <optional>

class QMimeData;

// The object being dragged from the catalogue tree, as drop targets read it from the drop.
inline constexpr char kCommObjectMimeType[] = "application/x-quendra-commobject";

struct DraggedObject {
    QString gan;
    QString ga;
    QString name;
    bool operator==(const DraggedObject &) const = default;
};

// Puts the object into drag data under kCommObjectMimeType.
void writeDraggedObject(QMimeData &mime, const DraggedObject &object);
// The object a drop carries; nullopt when the drop holds none (or damaged data).
std::optional<DraggedObject> draggedObject(const QMimeData *mime);

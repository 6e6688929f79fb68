#include "CatalogueDrag.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

namespace {
constexpr quint8 kFormat = 1;
}

void writeDraggedObject(QMimeData &mime, const DraggedObject &object) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kFormat << object.gan << object.ga << object.name;
    mime.setData(QLatin1String(kCommObjectMimeType), bytes);
}

std::optional<DraggedObject> draggedObject(const QMimeData *mime) {
    if (!mime || !mime->hasFormat(QLatin1String(kCommObjectMimeType)))
        return std::nullopt;
    QDataStream in(mime->data(QLatin1String(kCommObjectMimeType)));
    in.setVersion(QDataStream::Qt_6_4);
    quint8 format = 0;
    DraggedObject object;
    in >> format >> object.gan >> object.ga >> object.name;
    if (in.status() != QDataStream::Ok || format != kFormat)
        return std::nullopt;
    return object;
}

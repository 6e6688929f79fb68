#pragma once

#include "CatalogueDrag.h"

#include <QObject>
#include <functional>

class QWidget;

// Makes a widget a drop target for objects of the catalogue: a drag is taken when it carries an
// object that `accepts` takes, and a drop hands the object to `drop` (the same function a keyboard
// user's drop calls), which answers whether it took it. Item views get it on their viewport. What
// is dragged out of the target itself is never taken back.
class ObjectDrop : public QObject {
public:
    using Accepts = std::function<bool(const DraggedObject &)>;
    using Drop = std::function<bool(const DraggedObject &)>;

    ObjectDrop(QWidget *target, Accepts accepts, Drop drop);

    // What most targets take: an object with a group-address number.
    static bool hasNumber(const DraggedObject &object) { return !object.gan.isEmpty(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Accepts m_accepts;
    Drop m_drop;
};

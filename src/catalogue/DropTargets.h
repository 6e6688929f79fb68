#pragma once

#include "CatalogueDrag.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// Every place an object of the catalogue can be dropped on, so that a user without a mouse can
// put an object there too: the catalogue tree's context menu offers the targets that are on
// screen. A target's function does exactly what a drop there does and answers whether it took
// the object.
class DropTargets {
public:
    using Drop = std::function<bool(const DraggedObject &object)>;
    // Why the target takes no object just now; empty when it does.
    using Refusal = std::function<QString()>;
    struct Target {
        QPointer<QWidget> widget; // the target is offered while this widget is shown
        QString caption;          // names the target in the menu
        Drop drop;
        Refusal refusal; // none: the target always takes what a drop would take
    };

    // A target that refuses just now is still offered, greyed and with its reason, so that the
    // user learns why instead of choosing it in vain.
    void add(QWidget *widget, const QString &caption, Drop drop, Refusal refusal = {});
    // The targets whose widgets are shown now (those of the tab on top), in the order they were added.
    QList<Target> shown() const;

private:
    QList<Target> m_targets;
};

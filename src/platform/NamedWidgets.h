#pragma once

#include <QString>
#include <QWidget>

// Gives a new widget its objectName (tests find it by that) and the name a screen reader says,
// and its hint as tooltip and accessible description when there is one.
template <typename W>
W *named(W *widget, const QString &name, const QString &accessibleName, const QString &hint = {}) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessibleName);
    if (!hint.isEmpty()) {
        widget->setToolTip(hint);
        widget->setAccessibleDescription(hint);
    }
    return widget;
}

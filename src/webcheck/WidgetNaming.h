#pragma once

#include <QLabel>
#include <QString>

// The checker's widgets carry their names from the window's design as object names, and the
// name a screen reader announces.
namespace WidgetNaming {
template <typename W> W *named(W *widget, const char *objectName, const QString &accessibleName = {}) {
    widget->setObjectName(QLatin1String(objectName));
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

// A label for `buddy`, whose accessible name becomes the label's text.
inline QLabel *labelFor(const QString &text, QWidget *buddy) {
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return label;
}
} // namespace WidgetNaming

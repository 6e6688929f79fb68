#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

// Controls as the panels make them: the program's name as objectName (tests find them by it), the
// caption or label text as accessible name (screen readers find them by their German text), and the
// hint as tooltip and accessible description.
namespace NamedWidgets {
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

inline QPushButton *button(const QString &name, const QString &caption, const QString &hint, QWidget *parent) {
    return named(new QPushButton(caption, parent), name, caption, hint);
}

// A widget that shows changing text (a status line, a found value) or only holds others: the object
// name alone, so that a screen reader reads out what it shows.
template <typename W> W *objectNamed(W *widget, const QString &name) {
    widget->setObjectName(name);
    return widget;
}

// A label that names its control.
inline QLabel *buddyLabel(const QString &caption, QWidget *control, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    label->setBuddy(control);
    return label;
}
} // namespace NamedWidgets

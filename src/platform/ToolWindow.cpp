#include "ToolWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace {
const char *const kToolWindow = "quendraToolWindow";

QAccessibleInterface *toolWindowInterface(const QString &, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->isWindow() || !widget->property(kToolWindow).toBool())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}
} // namespace

void ToolWindow::setUp(QWidget *window) {
    static const bool installed = [] {
        QAccessible::installFactory(&toolWindowInterface);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(kToolWindow, true);
    // A window made before may already have been described as a plain widget: that description
    // goes, so that the next question gets the window.
    if (QAccessibleInterface *described = QAccessible::queryAccessibleInterface(window);
        described && described->role() != QAccessible::Window)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(described));

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setObjectName(QStringLiteral("closeOnEscape"));
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

#include "ToolWindows.h"

#include "ConsoleWindow.h"

#include <QDialog>

namespace {
template <typename W> W *frame(W *window, const char *objectName, const QString &caption, QSize size) {
    window->setObjectName(QLatin1String(objectName));
    window->setWindowTitle(caption);
    window->setAccessibleName(caption);
    window->resize(size);
    window->hide();
    return window;
}
} // namespace

ConsoleWindow *ToolWindows::createConsole(QWidget *owner) {
    return new ConsoleWindow(owner);
}

QWidget *ToolWindows::createWebChecker(QWidget *owner) {
    return frame(new QWidget(owner, Qt::Window), "TForm4", QStringLiteral("Quendra - Webchecker 0.2 Beta"), {900, 650});
}

QDialog *ToolWindows::createWildcardDialog(QWidget *owner) {
    return frame(new QDialog(owner, Qt::Tool), "TForm5", QStringLiteral("Quendra Konfig"), {401, 231});
}

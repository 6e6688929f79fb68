#include "ToolWindows.h"

#include "ConsoleWindow.h"
#include "WildcardDialog.h"

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

WildcardDialog *ToolWindows::createWildcardDialog(QWidget *owner, const QString &settingsFile, WildcardTexts &texts,
                                                  Dialogs &dialogs) {
    return new WildcardDialog(settingsFile, texts, dialogs, owner);
}

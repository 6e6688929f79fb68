#include "ToolWindows.h"

#include "ConsoleWindow.h"
#include "WebCheckWindow.h"
#include "WildcardDialog.h"

ConsoleWindow *ToolWindows::createConsole(QWidget *owner) {
    return new ConsoleWindow(owner);
}

WebCheckWindow *ToolWindows::createWebChecker(QWidget *owner, const QString &programFolder, Dialogs &dialogs,
                                              BrowserFactory browsers) {
    return new WebCheckWindow(programFolder, dialogs, owner, std::move(browsers));
}

WildcardDialog *ToolWindows::createWildcardDialog(QWidget *owner, const QString &settingsFile, WildcardTexts &texts,
                                                  Dialogs &dialogs) {
    return new WildcardDialog(settingsFile, texts, dialogs, owner);
}

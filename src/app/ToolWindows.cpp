#include "ToolWindows.h"

#include "ConsoleWindow.h"
#include "ToolWindow.h"
#include "WebCheckWindow.h"
#include "WildcardDialog.h"

ConsoleWindow *ToolWindows::createConsole(QWidget *owner) {
    auto *console = new ConsoleWindow(owner);
    ToolWindow::setUp(console);
    return console;
}

WebCheckWindow *ToolWindows::createWebChecker(QWidget *owner, const QString &programFolder, Dialogs &dialogs,
                                              BrowserFactory browsers) {
    auto *checker = new WebCheckWindow(programFolder, dialogs, owner, std::move(browsers));
    // Esc closes it as its close button does: an unsaved project is asked about first.
    ToolWindow::setUp(checker);
    return checker;
}

WildcardDialog *ToolWindows::createWildcardDialog(QWidget *owner, const QString &settingsFile, WildcardTexts &texts,
                                                  Dialogs &dialogs) {
    return new WildcardDialog(settingsFile, texts, dialogs, owner);
}

#pragma once

#include <QString>

#include "BrowserHost.h"

class ConsoleWindow;
class Dialogs;
class QWidget;
class WebCheckWindow;
class WildcardDialog;
struct WildcardTexts;

// The windows opened from the main window's menu bar, created hidden at start-up: `TForm3` the
// console (its session is attached by the program's wiring), `TForm4` the web-query checker (its
// browser engine starts when it is first shown), and `TForm5` the wildcard texts dialog (shown modally).
// The main window owns them. The console and the checker close with Esc and are windows to screen
// readers (ToolWindow); the dialog has both as a dialog.
namespace ToolWindows {
ConsoleWindow *createConsole(QWidget *owner);
// programFolder ends with a separator; an empty factory gives the checker Qt WebEngine.
WebCheckWindow *createWebChecker(QWidget *owner, const QString &programFolder, Dialogs &dialogs,
                                 BrowserFactory browsers);
// settingsFile: "quendra.ini" of the program folder; texts: the words the caption rule uses.
WildcardDialog *createWildcardDialog(QWidget *owner, const QString &settingsFile, WildcardTexts &texts,
                                     Dialogs &dialogs);
} // namespace ToolWindows

#pragma once

#include <QString>

class ConsoleWindow;
class Dialogs;
class QWidget;
class WildcardDialog;
struct WildcardTexts;

// The windows opened from the main window's menu bar, created hidden at start-up: `TForm3` the
// console (its session is attached by the program's wiring), the frame of `TForm4` the web-query
// checker, and `TForm5` the wildcard texts dialog (shown modally).
// The main window owns them.
namespace ToolWindows {
ConsoleWindow *createConsole(QWidget *owner);
QWidget *createWebChecker(QWidget *owner);
// settingsFile: "quendra.ini" of the program folder; texts: the words the caption rule uses.
WildcardDialog *createWildcardDialog(QWidget *owner, const QString &settingsFile, WildcardTexts &texts,
                                     Dialogs &dialogs);
} // namespace ToolWindows

#pragma once

class ConsoleWindow;
class QDialog;
class QWidget;

// The windows opened from the main window's menu bar, created hidden at start-up: `TForm3` the
// console (its session is attached by the program's wiring), and the frames their subsystems
// fill, `TForm4` the web-query checker and `TForm5` the wildcard texts dialog (shown modally).
// The main window owns them.
namespace ToolWindows {
ConsoleWindow *createConsole(QWidget *owner);
QWidget *createWebChecker(QWidget *owner);
QDialog *createWildcardDialog(QWidget *owner);
} // namespace ToolWindows

#pragma once

class ConsoleWindow;
class QDialog;
class QWidget;

// The windows opened from the main window's menu bar, created hidden at start-up. They are the
// frames their subsystems fill: `TForm3` the console, `TForm4` the web-query checker and
// `TForm5` the wildcard texts dialog (shown modally). The main window owns them.
namespace ToolWindows {
ConsoleWindow *createConsole(QWidget *owner);
QWidget *createWebChecker(QWidget *owner);
QDialog *createWildcardDialog(QWidget *owner);
} // namespace ToolWindows

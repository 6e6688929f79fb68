#pragma once

class QWidget;

// What the program's tool windows (the console, the help, the web-query checker) have in common
// with every window of the desktop: Esc closes them as their close button does, and screen readers
// meet them as windows (a plain widget on its own is otherwise announced as a filler).
namespace ToolWindow {
// Call once the window has its flags; the window must be a top-level widget.
void setUp(QWidget *window);
} // namespace ToolWindow

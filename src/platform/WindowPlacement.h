#pragma once

class QWidget;

// Where a tool window opens: centred and whole on the screen it belongs to.
namespace WindowPlacement {
// The first time the window is shown it is centred on the screen of `owner` (or the primary
// screen), made smaller where that screen's free room is smaller; later it keeps the place the
// user gave it. Then it is shown, raised and activated.
void showCentred(QWidget *window, const QWidget *owner = nullptr);
} // namespace WindowPlacement

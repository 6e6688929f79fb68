#pragma once

#include <functional>

class ProgramWiring;
class QWidget;
class ShotSequence;

// The window "Verlauf": its event list ("verlauf.png") and the chart of an object over 24 hours
// ("verlauf-kurve.png"), opened through the main window's menu bar.
void historyShots(ShotSequence &shots, ProgramWiring &wiring, std::function<QWidget *()> mainWindow);

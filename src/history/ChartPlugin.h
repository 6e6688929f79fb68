#pragma once

#include "ChartEngine.h"
#include "ProgramPaths.h"

// Loads the chart engine from its plugin (libquendra_chart.so, on Qt Charts) when the window
// "Verlauf" first opens, so a program whose history window stays closed loads neither Qt Charts
// nor OpenGL.
namespace ChartPlugin {
// The engine, loaded once per process and never unloaded; null when it cannot be used, and why
// then says why in a German sentence for the user.
ChartEngine *load(QString &why, const QString &pluginFile = ProgramPaths::chartPlugin());

inline const QString kModuleMissing = QStringLiteral("Das Kurven-Modul „%1“ fehlt.");
inline const QString kModuleNotLoadable = QStringLiteral("Das Kurven-Modul „%1“ lässt sich nicht laden (%2).");
inline const QString kModuleForeign =
    QStringLiteral("Das Kurven-Modul „%1“ passt nicht zu dieser Programmversion (%2).");
// In place of the chart; the values that are no numbers and the CSV export still work.
inline const QString kChartUnavailable = QStringLiteral("Die Kurve kann nicht gezeigt werden: %1");
} // namespace ChartPlugin

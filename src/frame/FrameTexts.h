#pragma once

#include <QString>

// The German texts of the frame's settings rules.
namespace FrameTexts {
// A "Pfad" that Windows-1252, the settings file's code page, cannot hold.
inline const QString kUnstorableFolder =
    QStringLiteral("Der Pfad \"%1\" enthält Zeichen, die die Datei \"quendra.ini\" nicht speichern kann. "
                   "Der bisherige Pfad bleibt eingestellt.");
// A port edit or "Mailtime" that holds no whole number.
inline const QString kNotAWholeNumber = QStringLiteral("'%1' ist kein gültiger Integerwert.");
} // namespace FrameTexts

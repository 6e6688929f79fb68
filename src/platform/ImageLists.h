#pragma once

#include <QIcon>

// The program's own pictures, drawn as SVG: `ImgSystem` (18 small system images) and `Symbole`
// (34 menu symbols, the switch symbols in on/off pairs and the dimmer in four levels).
namespace ImageLists {
inline constexpr int kSystemCount = 18;
inline constexpr int kSymbolCount = 34;

// A null icon for an index outside the list (-1 shows no picture).
QIcon systemImage(int index);
QIcon symbolImage(int index);
// The tray and window icon.
QIcon applicationIcon();
// The tray icon while the link to the server is down: the program's icon with an offline mark.
QIcon offlineIcon();
} // namespace ImageLists

#pragma once

#include "MenuCommand.h"

// Turns a value into the entry's state icon. A "lesen" entry keeps its icon; a value that is no
// number (or too large for 64 bits) shows the base symbol; otherwise the integer part decides:
// a switch shows its base for 1 and base + 1 for 0, a "Frei" entry base for 0 and base + 1 to
// base + 3 for 1..33, 34..66 and 67..100; anything else leaves the icon as it is.
void UpdateStateIcon(MenuCommand &entry, QStringView value);

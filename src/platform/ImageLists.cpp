#include "ImageLists.h"

// Placeholder until the pictures are drawn.
QIcon ImageLists::systemImage(int) { return {}; }
QIcon ImageLists::symbolImage(int) { return {}; }
QIcon ImageLists::applicationIcon() { return {}; }

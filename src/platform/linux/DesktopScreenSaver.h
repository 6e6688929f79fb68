#pragma once

#include "ScreenSaverControl.h"

// The desktop's screen saver through the session bus (org.freedesktop.ScreenSaver). Where the bus
// has no such service, `xdg-screensaver` is asked instead. Ending it also puts the pointer at
// (1, 1), as a user's move would. Nothing here waits for an answer.
class DesktopScreenSaver : public ScreenSaverControl {
public:
    void activate() override;
    void deactivate() override;
};

#pragma once

// Starting and ending the desktop's screen saver.
class ScreenSaverControl {
public:
    virtual ~ScreenSaverControl() = default;
    // Starts the screen saver now.
    virtual void activate() = 0;
    // Ends a running screen saver and restarts the idle time: the pointer goes to (1, 1), as if the
    // user had moved it there (also when no screen saver runs).
    virtual void deactivate() = 0;
};

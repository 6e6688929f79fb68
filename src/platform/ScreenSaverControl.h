#pragma once

// Starting and ending the desktop's screen saver.
class ScreenSaverControl {
public:
    virtual ~ScreenSaverControl() = default;
    virtual void activate() = 0;
    virtual void deactivate() = 0;
};

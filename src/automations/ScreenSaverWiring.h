#pragma once

#include "Subsystem.h"

#include <memory>

class ScreenSaverValue;

// The screen-saver control in the program: the drop panel on the tab "System", whose binding is
// the setting "Screen", and the value rule that starts and ends the screen saver. Its value target
// comes first: a value reaches the screen saver before the menu announces it.
class ScreenSaverWiring : public Subsystem {
public:
    ScreenSaverWiring();
    ~ScreenSaverWiring() override;

    void attach(Frame &frame) override;

private:
    std::unique_ptr<ScreenSaverValue> m_value;
};

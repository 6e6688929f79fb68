#pragma once

#include "ValueTarget.h"

#include <QString>
#include <functional>

class ScreenSaverControl;

// The screen-saver control's share of every received value: a value of the bound one-bit object
// starts the screen saver when it reads "1,0" and ends it (the pointer goes to 1, 1) for any other
// value. Nothing happens for lines read right after connecting, nor while nothing is bound.
class ScreenSaverValue : public ValueTarget {
public:
    // binding gives the bound number as the drop panel shows it ("Drag&&Drop" when unbound).
    ScreenSaverValue(ScreenSaverControl &control, std::function<QString()> binding);

    void onValue(const DecodedLine &line, bool initial) override;
    void screensaver_value(const QString &gan, const QString &displayValue, bool initial);

private:
    ScreenSaverControl &m_control;
    std::function<QString()> m_binding;
};

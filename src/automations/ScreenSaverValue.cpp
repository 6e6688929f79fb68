#include "ScreenSaverValue.h"

#include "ScreenSaverControl.h"

ScreenSaverValue::ScreenSaverValue(ScreenSaverControl &control, std::function<QString()> binding)
    : m_control(control), m_binding(std::move(binding)) {
}

void ScreenSaverValue::onValue(const DecodedLine &line, bool initial) {
    screensaver_value(line.gan, line.displayValue, initial);
}

void ScreenSaverValue::screensaver_value(const QString &gan, const QString &displayValue, bool initial) {
    // An empty binding (a hand-edited settings file) binds nothing, not the lines without number.
    if (initial || gan.isEmpty() || gan != m_binding())
        return;
    if (displayValue == u"1,0")
        m_control.activate();
    else
        m_control.deactivate();
}

#include "TabSettings.h"

void TabSettings::setMail(bool on) {
    if (m_mail == on)
        return;
    m_mail = on;
    emit mailChanged(on);
}

void TabSettings::setMailtime(const QString &minutes) {
    if (m_mailtime == minutes)
        return;
    m_mailtime = minutes;
    emit mailtimeChanged(minutes);
}

void TabSettings::setScreen(const QString &caption) {
    if (m_screen == caption)
        return;
    m_screen = caption;
    emit screenChanged(caption);
}

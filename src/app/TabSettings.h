#pragma once

#include <QObject>
#include <QString>

// The settings that are shown and changed on the work area's tabs rather than on the settings
// panel: mail polling on/off and its interval (`OVGETMAIL`, `OVMAILTIME` on "Email") and the
// screen-saver object (the caption of `OVSCREENSAVER` on "System"). The settings file reads them
// into this model at start-up and writes them from it; the tabs' panels show and edit them here.
class TabSettings : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool mail() const { return m_mail; }
    // Minutes between mail polls, as text (the edit's text, unconverted).
    const QString &mailtime() const { return m_mailtime; }
    const QString &screen() const { return m_screen; }

    // Each setter signals only a change of state, like a check box does.
    void setMail(bool on);
    void setMailtime(const QString &minutes);
    void setScreen(const QString &caption);

signals:
    void mailChanged(bool on);
    void mailtimeChanged(const QString &minutes);
    void screenChanged(const QString &caption);

private:
    bool m_mail = false;
    QString m_mailtime = QStringLiteral("5");
    QString m_screen = QStringLiteral("Drag&&Drop");
};

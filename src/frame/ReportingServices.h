#pragma once

#include "Dialogs.h"
#include "PlatformServices.h"
#include "TrayIcon.h"

#include <QString>

class FrameEvents;

// The boxes of the platform's dialogs, each reported as an event of its source before it is shown.
// Questions are answers the user gives, not news: they are not reported.
class ReportingDialogs : public Dialogs {
public:
    ReportingDialogs(Dialogs &dialogs, FrameEvents &events, QString source);

    void error(const QString &text) override;
    void information(const QString &text) override;
    void message(const QString &text) override;
    Choice choose(const QString &text) override { return m_dialogs.choose(text); }
    bool confirm(const QString &text) override { return m_dialogs.confirm(text); }
    void closeAll() override { m_dialogs.closeAll(); }

private:
    Dialogs &m_dialogs;
    FrameEvents &m_events;
    QString m_source;
};

// The tray icon with every balloon reported as an event of its source.
class ReportingTray : public TrayIcon {
    Q_OBJECT
public:
    ReportingTray(TrayIcon &tray, FrameEvents &events, QString source);

    bool isAvailable() const override { return m_tray.isAvailable(); }
    void show() override { m_tray.show(); }
    void hide() override { m_tray.hide(); }
    void setIcon(const QIcon &icon) override { m_tray.setIcon(icon); }
    void setHint(const QString &text) override { m_tray.setHint(text); }
    QString hint() const override { return m_tray.hint(); }
    void setPopup(QMenu *menu) override { m_tray.setPopup(menu); }
    void showBalloon(const QString &title, const QString &text, int timeoutMs) override;

private:
    TrayIcon &m_tray;
    FrameEvents &m_events;
    QString m_source;
};

// The platform services of one source: its boxes and balloons are reported, the rest is the
// platform's own.
class ReportingServices {
public:
    ReportingServices(const PlatformServices &services, FrameEvents &events, const QString &source);

    const PlatformServices &services() const { return m_services; }

private:
    ReportingDialogs m_dialogs;
    ReportingTray m_tray;
    PlatformServices m_services;
};

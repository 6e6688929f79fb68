#include "ReportingServices.h"

#include "FrameEvents.h"

ReportingDialogs::ReportingDialogs(Dialogs &dialogs, FrameEvents &events, QString source)
    : m_dialogs(dialogs), m_events(events), m_source(std::move(source)) {
}

void ReportingDialogs::error(const QString &text) {
    m_events.report(FrameEvent::Kind::Error, m_source, text);
    m_dialogs.error(text);
}

void ReportingDialogs::information(const QString &text) {
    m_events.report(FrameEvent::Kind::Information, m_source, text);
    m_dialogs.information(text);
}

void ReportingDialogs::message(const QString &text) {
    m_events.report(FrameEvent::Kind::Message, m_source, text);
    m_dialogs.message(text);
}

ReportingTray::ReportingTray(TrayIcon &tray, FrameEvents &events, QString source)
    : m_tray(tray), m_events(events), m_source(std::move(source)) {
    connect(&tray, &TrayIcon::doubleClicked, this, &TrayIcon::doubleClicked);
    connect(&tray, &TrayIcon::activated, this, &TrayIcon::activated);
    connect(&tray, &TrayIcon::availabilityChanged, this, &TrayIcon::availabilityChanged);
    connect(&tray, &TrayIcon::balloonClicked, this, &TrayIcon::balloonClicked);
    connect(&tray, &TrayIcon::balloonsAvailableChanged, this, &TrayIcon::balloonsAvailableChanged);
}

void ReportingTray::showBalloon(const QString &title, const QString &text, int timeoutMs) {
    m_events.report(FrameEvent::Kind::Balloon, m_source, text, title);
    m_tray.showBalloon(title, text, timeoutMs);
}

ReportingServices::ReportingServices(const PlatformServices &services, FrameEvents &events, const QString &source)
    : m_dialogs(*services.dialogs, events, source), m_tray(*services.tray, events, source), m_services(services) {
    m_services.dialogs = &m_dialogs;
    m_services.tray = &m_tray;
}

#include "LinkStateDisplay.h"

#include "AppTexts.h"
#include "FrameEvents.h"
#include "ImageLists.h"
#include "LinkController.h"
#include "LinkTexts.h"
#include "MainWindow.h"
#include "SettingsPanel.h"
#include "TrayIconLook.h"

LinkStateDisplay::LinkStateDisplay(LinkController &link, MainWindow &window, FrameEvents &events,
                                   int keyRefusalWindowMs, QObject *parent)
    : QObject(parent), m_link(link), m_window(&window), m_events(events), m_keyRefusalWindowMs(keyRefusalWindowMs) {
    GatewayLink &gateway = link.link();
    connect(&gateway, &GatewayLink::onStatus, this, [this](GatewayLink::Status status, const QString &text) {
        if (status == GatewayLink::Status::Connected)
            linkUp(text);
        else if (status == GatewayLink::Status::Disconnected)
            linkDown();
    });
    // A connection the peer closed stays open on our side until the next read fails: it is down now.
    connect(&gateway, &GatewayLink::failed, this, &LinkStateDisplay::linkDown);
    connect(&link, &LinkController::keySent, this, [this] { m_sinceKey.start(); });
    m_online = gateway.isConnected() && !gateway.hasFailed();
    show(m_online);
}

void LinkStateDisplay::show(bool online) {
    const bool changed = online != m_online;
    m_online = online;
    if (m_window) {
        m_window->trayIconLook().setBase(online ? ImageLists::applicationIcon() : ImageLists::offlineIcon());
        m_window->settingsPanel()->setOnlineIndicatorName(online);
    }
    if (changed)
        emit onlineShown(online);
}

void LinkStateDisplay::linkUp(const QString &statusText) {
    // The start-up and the watchdog put their own text after their first read.
    if (m_downStated && m_window)
        m_window->setStatusText(statusText);
    m_downStated = false;
    if (m_lost)
        m_events.report(FrameEvent::Kind::LinkRestored, AppTexts::kLinkSource, statusText);
    m_lost = false;
    show(true);
}

void LinkStateDisplay::linkDown() {
    const bool keyRefused = m_sinceKey.isValid() && m_sinceKey.elapsed() < m_keyRefusalWindowMs;
    m_sinceKey.invalidate();
    if (keyRefused) {
        m_link.busMonitor().insertTop(AppTexts::kKeyRefused);
        if (m_window)
            m_window->setStatusText(AppTexts::kKeyRefused);
        m_downStated = true;
        m_events.report(FrameEvent::Kind::KeyRefused, AppTexts::kLinkSource, AppTexts::kKeyRefused);
        m_lost = true;
    } else {
        if (!m_downStated && m_window) {
            m_window->setStatusText(LinkTexts::kOffline);
            m_downStated = true;
        }
        if (m_online) {
            m_events.report(FrameEvent::Kind::LinkLost, AppTexts::kLinkSource, LinkTexts::kOffline);
            m_lost = true;
        }
    }
    show(false);
}

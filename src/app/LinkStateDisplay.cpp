#include "LinkStateDisplay.h"

#include "ImageLists.h"
#include "LinkController.h"
#include "MainWindow.h"
#include "SettingsPanel.h"
#include "TrayIcon.h"
#include "TrayPopup.h"

LinkStateDisplay::LinkStateDisplay(LinkController &link, MainWindow &window, TrayIcon &tray, TrayPopup &popup,
                                   int keyRefusalWindowMs, QObject *parent)
    : QObject(parent), m_link(link), m_window(&window), m_tray(tray), m_popup(popup),
      m_keyRefusalWindowMs(keyRefusalWindowMs) {
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
    show(gateway.isConnected() && !gateway.hasFailed());
}

void LinkStateDisplay::show(bool online) {
    m_online = online;
    if (!m_window)
        return;
    m_tray.setIcon(online ? ImageLists::applicationIcon() : ImageLists::offlineIcon());
    m_window->settingsPanel()->setOnlineIndicatorName(online);
    m_popup.setOffline(!online);
}

void LinkStateDisplay::linkUp(const QString &statusText) {
    // The start-up and the watchdog put their own text after their first read.
    if (m_downStated && m_window)
        m_window->setStatusText(statusText);
    m_downStated = false;
    show(true);
}

void LinkStateDisplay::linkDown() {
    const bool keyRefused = m_sinceKey.isValid() && m_sinceKey.elapsed() < m_keyRefusalWindowMs;
    m_sinceKey.invalidate();
    if (keyRefused) {
        m_link.busMonitor().insertTop(kKeyRefused);
        if (m_window)
            m_window->setStatusText(kKeyRefused);
        m_downStated = true;
    } else if (!m_downStated && m_window) {
        m_window->setStatusText(kOffline);
        m_downStated = true;
    }
    show(false);
}

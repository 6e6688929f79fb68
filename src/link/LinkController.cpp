#include "LinkController.h"

#include "AnsiText.h"
#include "Dialogs.h"
#include "LinkTexts.h"
#include "LinkView.h"
#include "TrayIcon.h"

#include <algorithm>

namespace {
const QString kX = QStringLiteral("x");
constexpr int kBalloonTimeoutMs = 2000;
// The catalogue is loaded only on request, so it holds no object when the first connection ends.
constexpr int kObjectsAtStartup = 0;

void enable(QTimer &timer) {
    // Enabling a running timer leaves its rhythm alone.
    if (!timer.isActive())
        timer.start();
}
} // namespace

LinkController::LinkController(LinkView &view, TrayIcon &tray, Dialogs &dialogs, LinkTimings timings, QObject *parent)
    : QObject(parent), m_view(view), m_tray(tray), m_dialogs(dialogs), m_timings(timings) {
    m_link.setObjectName(QStringLiteral("TCPClient"));
    m_link.setConnectTimeout(m_timings.connectTimeoutMs);
    m_drains.setInitialDrainLimit(m_timings.connectDrainLimitMs);
    m_busMonitor.setObjectName(QStringLiteral("busmoni"));
    m_pollTimer.setObjectName(QStringLiteral("Timer1"));
    m_pollTimer.setInterval(m_timings.pollIntervalMs);
    m_watchdogTimer.setObjectName(QStringLiteral("Timer2"));
    m_watchdogTimer.setInterval(m_timings.watchdogIntervalMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &LinkController::Timer1Timer);
    connect(&m_watchdogTimer, &QTimer::timeout, this, &LinkController::Timer2Timer);

    connect(&m_link, &GatewayLink::onStatus, this, &LinkController::TCPClientStatus);
    connect(&m_link, &GatewayLink::connectSucceeded, this, [this] {
        m_onConnectFailed = nullptr;
        if (const auto then = std::exchange(m_onConnected, nullptr))
            then();
    });
    connect(&m_link, &GatewayLink::connectFailed, this, [this] {
        m_onConnected = nullptr;
        if (const auto then = std::exchange(m_onConnectFailed, nullptr))
            then();
    });

    if (m_timings.resumeCheckIntervalMs > 0) {
        m_resumeDetector =
            std::make_unique<ResumeDetector>(ResumeDetector::systemClocks(), m_timings.resumeCheckIntervalMs);
        connect(m_resumeDetector.get(), &ResumeDetector::resumed, this, &LinkController::checkAfterResume);
    }
}

LinkController::~LinkController() {
    // No callback of a phase or an attempt may run into a half-destroyed window.
    dropPendingWork();
    QObject::disconnect(&m_link, nullptr, this, nullptr);
}

// --- start-up, button, timers, status -------------------------------------------------------

void LinkController::startupConnect(StartupProgress progress, StartupDone done) {
    m_drains.lastLine() = kX;
    if (m_view.offlineTicked() || m_link.port() == 0) {
        done(false);
        return;
    }
    const auto fail = [this, done] {
        m_dialogs.error(LinkTexts::kStartupError);
        showLinkLook();
        done(false);
    };
    connectThen(
        [this, progress, done, fail] {
            setConnectButton(true);
            if (!sendKey()) {
                fail();
                return;
            }
            auto position = std::make_shared<int>(0);
            const auto moveProgress = [progress, position] {
                if (progress)
                    progress(*position);
                *position = (*position + 1) % 101;
            };
            drainGateway(
                DrainStack::Use::Startup,
                [this, done, fail](DrainStack::End end) {
                    if (end == DrainStack::End::Failed) {
                        fail();
                        return;
                    }
                    if (end == DrainStack::End::Cancelled) {
                        done(false);
                        return;
                    }
                    m_view.setStatusText(LinkTexts::kConnectedWithObjects.arg(kObjectsAtStartup));
                    m_view.setOnlineIndicatorVisible(true);
                    m_view.setHeaderOnline();
                    m_view.rollUpSettings();
                    done(true);
                },
                moveProgress);
        },
        fail);
}

void LinkController::setMenuOpen(bool open) {
    if (open)
        m_dispatch.flushPopup(); // the popup opens with every value taken so far
    m_drains.setMenuOpen(open);
}

void LinkController::startPolling() {
    enable(m_pollTimer);
}

void LinkController::stopPolling() {
    m_pollTimer.stop();
}

void LinkController::closeLink() {
    // Nothing under way reports back into the closing window: a pending attempt shows no error
    // box, a drain sets no look, an awaited reply is not answered.
    dropPendingWork();
    m_link.disconnect();
    m_pollTimer.stop();
    m_watchdogTimer.stop();
    m_resumeDetector.reset();
}

void LinkController::dropPendingWork() {
    m_onConnected = nullptr;
    m_onConnectFailed = nullptr;
    m_drains.dropAll();
}

void LinkController::ovconnectbtnClick() {
    if (!m_buttonShowsDisconnect) {
        // The watchdog's attempt under way decides first; a second one would only be refused.
        if (m_link.isConnecting())
            return;
        m_drains.lastLine() = kX;
        connectThen(
            [this] {
                if (!sendKey()) {
                    connectButtonFailed();
                    return;
                }
                drainGateway(DrainStack::Use::ConnectButton, [this](DrainStack::End end) {
                    if (end == DrainStack::End::Failed) {
                        connectButtonFailed();
                    } else if (end == DrainStack::End::Finished) {
                        setConnectButton(true);
                        enable(m_pollTimer);
                        m_view.setHeaderOnline();
                    }
                });
            },
            [this] { connectButtonFailed(); });
        return;
    }
    m_view.setHeaderOffline();
    m_drains.cancelAll();
    m_link.disconnect();
    setConnectButton(false);
    m_pollTimer.stop();
}

void LinkController::connectButtonFailed() {
    m_dialogs.error(LinkTexts::kButtonError);
    if (linkWorks()) { // the watchdog connected while the box was open
        showOnlineLook();
        return;
    }
    setConnectButton(false);
    m_view.setHeaderOffline();
}

void LinkController::Timer1Timer() {
    if (m_view.offlineTicked())
        return;
    m_drains.lastLine() = kX;
    if (m_drains.menuOpen() || !m_link.isConnected() || !m_drains.pollMayStart())
        return;
    drainGateway(DrainStack::Use::Polling, [this](DrainStack::End end) {
        if (end != DrainStack::End::Failed)
            return;
        m_view.setOnlineIndicatorVisible(false);
        m_view.setHeaderOffline();
        m_link.disconnect(); // its "disconnected" hands over to the watchdog
    });
}

void LinkController::Timer2Timer() {
    m_busMonitor.insertTop(LinkTexts::kOffline);
    // A connection that is open or opening refuses a new attempt; the watchdog ignores that.
    if (m_link.isConnected() || m_link.isConnecting())
        return;
    connectThen(
        [this] {
            if (!m_link.isConnected())
                return;
            m_busMonitor.clear();
            if (!sendKey())
                return;
            // No "x" first: this drain reads only when the last read left a line behind.
            drainGateway(DrainStack::Use::Watchdog, [this](DrainStack::End end) {
                if (end == DrainStack::End::Finished)
                    m_view.setStatusText(LinkTexts::kReconnected);
            });
        },
        [] {});
}

void LinkController::TCPClientStatus(GatewayLink::Status status, const QString &text) {
    if (m_view.offlineTicked())
        return;
    if (status == GatewayLink::Status::Disconnected) {
        showOfflineLook();
        enable(m_watchdogTimer);
        m_pollTimer.stop();
    } else if (status == GatewayLink::Status::Connected) {
        showOnlineLook();
        m_watchdogTimer.stop();
        enable(m_pollTimer);
    }
    m_tray.showBalloon(LinkTexts::kBalloonTitle, text, kBalloonTimeoutMs);
}

void LinkController::checkAfterResume() {
    if (m_view.offlineTicked())
        return;
    if (m_link.isConnected()) {
        m_drains.cancelAll();
        m_view.setOnlineIndicatorVisible(false);
        m_view.setHeaderOffline();
        m_link.disconnect();
    }
    if (m_watchdogTimer.isActive()) {
        m_watchdogTimer.start(); // the next regular attempt counts from this one
        Timer2Timer();
    }
}

void LinkController::setConnectButton(bool connected) {
    m_buttonShowsDisconnect = connected;
    m_view.setConnectButtonConnected(connected);
}

void LinkController::drainGateway(DrainStack::Use use, DrainStack::DrainDone done, std::function<void()> beforeRead) {
    const bool connecting = use == DrainStack::Use::Startup || use == DrainStack::Use::ConnectButton;
    m_drains.drain(use, connecting ? m_timings.connectReadTimeoutMs : m_timings.pollReadTimeoutMs, std::move(done),
                   std::move(beforeRead));
}

void LinkController::showOnlineLook() {
    setConnectButton(true);
    m_view.setOnlineIndicatorVisible(true);
    m_view.setHeaderOnline();
}

void LinkController::showLinkLook() {
    // A box may stay open for long while the watchdog connects again: after it the looks follow
    // the link as it is, not as it was when the box opened.
    if (linkWorks())
        showOnlineLook();
    else
        showOfflineLook();
}

bool LinkController::linkWorks() const {
    // A connection the peer closed stays open on our side until we close it.
    return m_link.isConnected() && !m_link.hasFailed();
}

void LinkController::showOfflineLook() {
    setConnectButton(false);
    m_view.setOnlineIndicatorVisible(false);
    m_view.setHeaderOffline();
}

void LinkController::connectThen(std::function<void()> onConnected, std::function<void()> onFailed) {
    m_onConnected = std::move(onConnected);
    m_onConnectFailed = std::move(onFailed);
    if (!m_link.connect()) {
        m_onConnected = nullptr;
        if (const auto then = std::exchange(m_onConnectFailed, nullptr))
            then();
    }
}

bool LinkController::sendKey() {
    // The key as the edit holds it at this moment.
    if (!m_link.sendLine(AnsiText::encode(m_view.keyText())))
        return false;
    emit keySent();
    return true;
}

// --- CommandChannel -------------------------------------------------------------------------

bool LinkController::sendLine(const QString &line) {
    qsizetype blanked = 0;
    const bool sent = m_link.sendLine(AnsiText::encode(line), nullptr, &blanked);
    // The user sees that the line went out changed; the note holds no "|", so getlv never takes
    // it for a value.
    if (sent && blanked > 0)
        m_busMonitor.insertTop(LinkTexts::kLineBreaksBlanked);
    return sent;
}

void LinkController::awaitLine(int timeoutMs, ReplyHandler done) {
    m_drains.awaitLine(timeoutMs, std::move(done));
}

void LinkController::addToBusMonitor(const QString &text) {
    m_busMonitor.insertTop(text);
}

void LinkController::dispatchLine(const QString &line, bool initial) {
    m_dispatch.update_lv_menu(line, initial);
    // A click's reply is no part of a drain under way: the popup shows it at once.
    m_dispatch.flushPopup();
}

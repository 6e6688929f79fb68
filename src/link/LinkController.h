#pragma once

#include "BusMonitor.h"
#include "CommandChannel.h"
#include "DrainStack.h"
#include "GatewayLink.h"
#include "ResumeDetector.h"
#include "ValueDispatch.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class Dialogs;
class LinkView;
class TrayIcon;

// The link's intervals and time-outs. Tests shorten them; the program uses the defaults.
struct LinkTimings {
    int pollIntervalMs = 2000;       // Timer1
    int watchdogIntervalMs = 20000;  // Timer2
    int connectReadTimeoutMs = 1000; // drains at start-up and by the connect button
    int pollReadTimeoutMs = 500;     // drains of the polling and the watchdog
    // A connection drain (start-up, button, watchdog) ends after this time, whatever still comes.
    int connectDrainLimitMs = DrainStack::kInitialDrainLimitMs;
    int connectTimeoutMs = GatewayLink::kDefaultConnectTimeoutMs;
    // How often to look whether the computer slept; 0 switches the check off.
    int resumeCheckIntervalMs = ResumeDetector::kDefaultCheckIntervalMs;
    // A server that closes the connection this soon after the key line has refused the key.
    int keyRefusalWindowMs = 1000;
};

// Everything the main window does with the KO gateway: the start-up connection, the connect
// button, polling (Timer1), the watchdog (Timer2), the status handler with its looks and
// balloons, the bus monitor and the entry into the value dispatch. Menu clicks and the console
// use it as their CommandChannel.
// The reading itself, in phases that never block, is DrainStack's.
//
// Closing the link ourselves (the disconnect button, a resume) ends the drains under way as if
// their read had timed out, without error boxes; an awaited reply then reports the link down.
// Closing the window ends everything under way without any report.
class LinkController : public QObject, public CommandChannel {
    Q_OBJECT
public:
    LinkController(LinkView &view, TrayIcon &tray, Dialogs &dialogs, LinkTimings timings = {},
                   QObject *parent = nullptr);
    ~LinkController() override;

    // `TCPClient`: the window sets its host and port from the settings and the edits.
    GatewayLink &link() { return m_link; }
    // `busmoni`'s model.
    BusMonitor &busMonitor() { return m_busMonitor; }
    // Where the screen saver, the menu and Load & Replace register and the menu sets `make_popup`.
    ValueDispatch &dispatch() { return m_dispatch; }

    // The first connection after loading the settings. No attempt and no message when OVOFFLINE
    // is ticked or the gateway port is 0. `progress` gets 0, 1, ... 100, 0, ... before every
    // read; `done` runs once at the end, with true after a successful connection and drain
    // (at once, inside this call, when no attempt is made), unless closeLink() comes first.
    using StartupProgress = std::function<void(int position)>;
    using StartupDone = std::function<void(bool connected)>;
    void startupConnect(StartupProgress progress, StartupDone done);
    // Enables Timer1; the window does so after the start-up connection whatever its outcome.
    void startPolling();
    // Disables Timer1, e.g. while the catalogue loads; startPolling() enables it again.
    void stopPolling();
    // Closing the window: cuts the link (which reports "disconnected" as always) and stops both
    // timers. What was under way (an attempt, a drain, an awaited reply) ends without reporting.
    void closeLink();

    // True while a menu of the main window or the tray popup is open: polling then reads nothing,
    // and a poll under way takes no further line until the menu closes.
    void setMenuOpen(bool open);
    bool menuOpen() const { return m_drains.menuOpen(); }
    const QString &lastLine() const { return m_drains.lastLine(); }
    bool pollingEnabled() const { return m_pollTimer.isActive(); }
    bool watchdogEnabled() const { return m_watchdogTimer.isActive(); }
    // Whether `ovconnectbtn` shows "disconnect" (image 14): the button's state, which only the
    // controller sets.
    bool connectButtonShowsDisconnect() const { return m_buttonShowsDisconnect; }

    // CommandChannel
    bool sendLine(const QString &line) override;
    void awaitLine(int timeoutMs, ReplyHandler done) override;
    void addToBusMonitor(const QString &text) override;
    void dispatchLine(const QString &line, bool initial) override;

    // Handlers, named as in the window they belong to.
    void ovconnectbtnClick();
    void Timer1Timer();
    void Timer2Timer();
    void TCPClientStatus(GatewayLink::Status status, const QString &text);
    // After the computer slept: a connection from before cannot be trusted (a server that
    // dropped it meanwhile had no way to tell us, and polling only reads), so it is closed and
    // the watchdog connects again at once instead of after its interval.
    void checkAfterResume();

signals:
    // The key line went out on a new connection.
    void keySent();

private:
    void drainGateway(DrainStack::Use use, DrainStack::DrainDone done, std::function<void()> beforeRead = {});
    void dropPendingWork();

    void connectThen(std::function<void()> onConnected, std::function<void()> onFailed);
    bool sendKey();
    void setConnectButton(bool connected);
    void showOnlineLook();
    void showOfflineLook();
    void showLinkLook();
    bool linkWorks() const;
    void connectButtonFailed();

    LinkView &m_view;
    TrayIcon &m_tray;
    Dialogs &m_dialogs;
    LinkTimings m_timings;

    GatewayLink m_link;
    BusMonitor m_busMonitor;
    ValueDispatch m_dispatch;
    DrainStack m_drains{m_link, m_busMonitor, m_dispatch};
    QTimer m_pollTimer{this}; // Timer1 and Timer2: children, so the window and tests find them by name
    QTimer m_watchdogTimer{this};
    std::unique_ptr<ResumeDetector> m_resumeDetector;
    bool m_buttonShowsDisconnect = false;
    std::function<void()> m_onConnected;
    std::function<void()> m_onConnectFailed;
};

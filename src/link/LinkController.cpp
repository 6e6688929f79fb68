#include "LinkController.h"

#include "AnsiText.h"
#include "Dialogs.h"
#include "LinkView.h"
#include "TrayIcon.h"

#include <algorithm>

namespace {
const QString kX = QStringLiteral("x");
const QString kBalloonTitle = QStringLiteral("Verbindungsstatus zum Orvanel:");
constexpr int kBalloonTimeoutMs = 2000;
const QString kStartupError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                             "Einstellungen und klicke auf klicke auf connect");
const QString kButtonError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                            "Einstellungen und starte danach das Programm neu!");
const QString kOffline = QStringLiteral("OV offline");
const QString kReconnected = QStringLiteral("Mit OV wieder verbunden ...");
const QString kNotConnected = QStringLiteral("Nicht verbunden.");
const QString kLineDropped =
    QStringLiteral("Zeile vom OV verworfen: länger als %1 Zeichen").arg(GatewayLink::kMaxLineLength);
// The catalogue is loaded only on request, so it holds no object when the first connection ends.
constexpr int kObjectsAtStartup = 0;

void enable(QTimer &timer) {
    // Enabling a running timer leaves its rhythm alone.
    if (!timer.isActive())
        timer.start();
}
} // namespace

// One read phase: a drain or the wait for one reply.
struct LinkController::Reader {
    bool await = false;
    DrainUse use = DrainUse::Polling; // drains only
    int timeoutMs = 0;
    bool initial = false;
    bool ignoreX = false;
    std::function<void()> beforeRead;
    DrainDone drainDone;
    ReplyHandler replyDone;
    bool reading = false; // a read has begun (beforeRead ran) and waits for its line
    bool taking = false;  // inside serviceTop's loop, possibly suspended in a dispatch
};

LinkController::LinkController(LinkView &view, TrayIcon &tray, Dialogs &dialogs, LinkTimings timings, QObject *parent)
    : QObject(parent), m_view(view), m_tray(tray), m_dialogs(dialogs), m_timings(timings) {
    m_link.setObjectName(QStringLiteral("TCPClient"));
    m_link.setConnectTimeout(m_timings.connectTimeoutMs);
    m_busMonitor.setObjectName(QStringLiteral("busmoni"));
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(m_timings.pollIntervalMs);
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setInterval(m_timings.watchdogIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &LinkController::Timer1Timer);
    connect(&m_timer2, &QTimer::timeout, this, &LinkController::Timer2Timer);

    connect(&m_link, &GatewayLink::onStatus, this, &LinkController::TCPClientStatus);
    // A closed link ends the read under way with an error, like a blocking read would.
    connect(&m_link, &GatewayLink::onStatus, this, [this](GatewayLink::Status status) {
        if (status == GatewayLink::Status::Disconnected)
            scheduleService();
    });
    connect(&m_link, &GatewayLink::linesAvailable, this, &LinkController::scheduleService);
    connect(&m_link, &GatewayLink::failed, this, &LinkController::scheduleService);
    m_readTimer.setSingleShot(true);
    connect(&m_readTimer, &QTimer::timeout, this, &LinkController::onReadTimeout);
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
    // No callback of a phase may run into a half-destroyed window.
    dropPendingWork();
    QObject::disconnect(&m_link, nullptr, this, nullptr);
}

// --- start-up, button, timers, status -------------------------------------------------------

void LinkController::startupConnect(StartupProgress progress, StartupDone done) {
    m_lastLine = kX;
    if (m_view.offlineTicked() || m_link.port() == 0) {
        done(false);
        return;
    }
    const auto fail = [this, done] {
        m_dialogs.error(kStartupError);
        showLinkLook();
        done(false);
    };
    connectThen(
        [this, progress, done, fail] {
            m_view.setConnectButtonConnected(true);
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
                DrainUse::Startup,
                [this, done, fail](DrainEnd end) {
                    if (end == DrainEnd::Failed) {
                        fail();
                        return;
                    }
                    if (end == DrainEnd::Cancelled) {
                        done(false);
                        return;
                    }
                    m_view.setStatusText(QStringLiteral("Mit OV verbunden / %1 KO gefunden").arg(kObjectsAtStartup));
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
    m_menuOpen = open;
    if (!open)
        scheduleService(); // a poll paused by the menu takes what came meanwhile
}

void LinkController::startPolling() {
    enable(m_timer1);
}

void LinkController::closeLink() {
    // Nothing under way reports back into the closing window: a pending attempt shows no error
    // box, a drain sets no look, an awaited reply is not answered.
    dropPendingWork();
    m_link.disconnect();
    m_timer1.stop();
    m_timer2.stop();
    m_resumeDetector.reset();
}

void LinkController::dropPendingWork() {
    m_onConnected = nullptr;
    m_onConnectFailed = nullptr;
    m_readTimer.stop();
    m_readers.clear(); // a phase suspended in a dispatch keeps its own reference and ends there
}

void LinkController::ovconnectbtnClick() {
    if (!m_view.connectButtonShowsDisconnect()) {
        // The watchdog's attempt under way decides first; a second one would only be refused.
        if (m_link.isConnecting())
            return;
        m_lastLine = kX;
        connectThen(
            [this] {
                if (!sendKey()) {
                    connectButtonFailed();
                    return;
                }
                drainGateway(DrainUse::ConnectButton, [this](DrainEnd end) {
                    if (end == DrainEnd::Failed) {
                        connectButtonFailed();
                    } else if (end == DrainEnd::Finished) {
                        m_view.setConnectButtonConnected(true);
                        enable(m_timer1);
                        m_view.setHeaderOnline();
                    }
                });
            },
            [this] { connectButtonFailed(); });
        return;
    }
    m_view.setHeaderOffline();
    cancelReaders();
    m_link.disconnect();
    m_view.setConnectButtonConnected(false);
    m_timer1.stop();
}

void LinkController::connectButtonFailed() {
    m_dialogs.error(kButtonError);
    if (linkWorks()) { // the watchdog connected while the box was open
        showOnlineLook();
        return;
    }
    m_view.setConnectButtonConnected(false);
    m_view.setHeaderOffline();
}

void LinkController::Timer1Timer() {
    if (m_view.offlineTicked())
        return;
    m_lastLine = kX;
    if (m_menuOpen || !m_link.isConnected())
        return;
    if (!m_readers.empty()) {
        const Reader &top = *m_readers.back();
        // A tick gets between the reads of another phase only where that phase lets messages
        // through: the start-up drain after every read, and a dispatch showing a modal box.
        // Any other phase (the drain of the button or the watchdog, a poll waiting for its line,
        // an awaited reply) reads on undisturbed, so its lines keep their `initial` flag.
        if (top.await || (!top.taking && top.use != DrainUse::Startup))
            return;
    }
    drainGateway(DrainUse::Polling, [this](DrainEnd end) {
        if (end != DrainEnd::Failed)
            return;
        m_view.setOnlineIndicatorVisible(false);
        m_view.setHeaderOffline();
        m_link.disconnect(); // its "disconnected" hands over to the watchdog
    });
}

void LinkController::Timer2Timer() {
    m_busMonitor.insertTop(kOffline);
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
            drainGateway(DrainUse::Watchdog, [this](DrainEnd end) {
                if (end == DrainEnd::Finished)
                    m_view.setStatusText(kReconnected);
            });
        },
        [] {});
}

void LinkController::TCPClientStatus(GatewayLink::Status status, const QString &text) {
    if (m_view.offlineTicked())
        return;
    if (status == GatewayLink::Status::Disconnected) {
        showOfflineLook();
        enable(m_timer2);
        m_timer1.stop();
    } else if (status == GatewayLink::Status::Connected) {
        showOnlineLook();
        m_timer2.stop();
        enable(m_timer1);
    }
    m_tray.showBalloon(kBalloonTitle, text, kBalloonTimeoutMs);
}

void LinkController::checkAfterResume() {
    if (m_view.offlineTicked())
        return;
    if (m_link.isConnected()) {
        cancelReaders();
        m_view.setOnlineIndicatorVisible(false);
        m_view.setHeaderOffline();
        m_link.disconnect();
    }
    if (m_timer2.isActive()) {
        m_timer2.start(); // the next regular attempt counts from this one
        Timer2Timer();
    }
}

void LinkController::showOnlineLook() {
    m_view.setConnectButtonConnected(true);
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
    m_view.setConnectButtonConnected(false);
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
    return m_link.send(AnsiText::encode(m_view.keyText()) + '\0');
}

// --- CommandChannel -------------------------------------------------------------------------

bool LinkController::sendLine(const QString &line) {
    return m_link.send(AnsiText::encode(line) + '\0');
}

void LinkController::awaitLine(int timeoutMs, ReplyHandler done) {
    auto reader = std::make_shared<Reader>();
    reader->await = true;
    reader->timeoutMs = timeoutMs;
    reader->replyDone = std::move(done);
    // The reply is never handed over inside this call, even when it is already here.
    pushReader(reader);
}

void LinkController::addToBusMonitor(const QString &text) {
    m_busMonitor.insertTop(text);
}

void LinkController::dispatchLine(const QString &line, bool initial) {
    m_dispatch.update_lv_menu(line, initial);
}

// --- read phases ----------------------------------------------------------------------------

void LinkController::drainGateway(DrainUse use, DrainDone done, std::function<void()> beforeRead) {
    auto reader = std::make_shared<Reader>();
    reader->use = use;
    const bool connecting = use == DrainUse::Startup || use == DrainUse::ConnectButton;
    reader->timeoutMs = connecting ? m_timings.connectReadTimeoutMs : m_timings.pollReadTimeoutMs;
    reader->initial = use != DrainUse::Polling;
    reader->ignoreX = use == DrainUse::ConnectButton || use == DrainUse::Polling;
    reader->beforeRead = std::move(beforeRead);
    reader->drainDone = std::move(done);
    pushReader(reader);
}

void LinkController::pushReader(const std::shared_ptr<Reader> &reader) {
    if (!m_readers.empty()) {
        // The phase below pauses between two reads and starts a fresh read when it resumes.
        m_readers.back()->reading = false;
        m_readTimer.stop();
    }
    m_readers.push_back(reader);
    scheduleService();
}

void LinkController::scheduleService() {
    // Lines are taken from a posted call, never inside the socket's or a timer's own signal:
    // a dispatch may open a modal box, and inside it the socket has to report new data and
    // Timer1 has to tick again, which neither does while its own handler is still running.
    if (m_servicePosted)
        return;
    m_servicePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_servicePosted = false;
            serviceTop();
        },
        Qt::QueuedConnection);
}

void LinkController::serviceTop() {
    if (m_readers.empty())
        return;
    const std::shared_ptr<Reader> reader = m_readers.back();
    if (reader->taking)
        return; // suspended in a dispatch; it takes the next line when that returns
    const auto isTop = [this, &reader] {
        return !m_readers.empty() && m_readers.back() == reader;
    };
    reader->taking = true;
    for (;;) {
        // A drain runs while `lastLine` is not empty; an inner drain or a time-out empties it.
        if (!reader->await && m_lastLine.isEmpty()) {
            reader->taking = false;
            finishReader(reader, DrainEnd::Finished, std::nullopt, {});
            return;
        }
        if (m_menuOpen && !reader->await && reader->use == DrainUse::Polling) {
            // No dispatch, and so no rebuild of the popup, while a menu is open. The read goes on
            // waiting; closing the menu lets it take the lines, or it times out meanwhile.
            reader->taking = false;
            if (!m_readTimer.isActive())
                m_readTimer.start(reader->timeoutMs);
            return;
        }
        if (!reader->reading) {
            reader->reading = true;
            if (reader->beforeRead)
                reader->beforeRead();
        }
        // A dropped line is no line read: it leaves its note and the read goes on waiting.
        while (m_link.takeDroppedLine())
            m_busMonitor.insertTop(kLineDropped);
        const std::optional<QString> line = m_link.readLine();
        if (!line)
            break;
        reader->reading = false;
        m_readTimer.stop();
        m_lastLine = *line;
        if (reader->await) {
            reader->taking = false;
            finishReader(reader, DrainEnd::Finished, *line, {});
            return;
        }
        if (!line->isEmpty() && !(reader->ignoreX && *line == kX)) {
            m_busMonitor.insertTop(*line);
            m_dispatch.update_lv_menu(*line, reader->initial);
        }
        if (!isTop()) {
            // A phase begun during the dispatch (a polling tick under a modal box) is still
            // running, or this one was cancelled; it resumes when the newer one ends.
            reader->taking = false;
            return;
        }
    }
    reader->taking = false;
    if (!m_link.isConnected() || m_link.hasFailed()) {
        finishReader(reader, DrainEnd::Failed, std::nullopt, m_link.hasFailed() ? m_link.failureText() : kNotConnected);
        return;
    }
    if (!m_readTimer.isActive())
        m_readTimer.start(reader->timeoutMs);
}

void LinkController::onReadTimeout() {
    if (m_readers.empty())
        return;
    m_readers.back()->reading = false;
    m_lastLine.clear(); // a read that times out leaves the empty text
    finishReader(m_readers.back(), DrainEnd::Finished, QString(), {});
}

void LinkController::finishReader(const std::shared_ptr<Reader> &reader, DrainEnd end,
                                  const std::optional<QString> &reply, const QString &error) {
    const auto found = std::find(m_readers.begin(), m_readers.end(), reader);
    if (found == m_readers.end())
        return;
    const std::shared_ptr<Reader> keep = reader; // the erase may drop the last reference
    m_readers.erase(found);
    m_readTimer.stop();
    complete(*keep, end, reply, error);
    scheduleService(); // the phase below goes on, or ends when `lastLine` is now empty
}

void LinkController::complete(Reader &reader, DrainEnd end, const std::optional<QString> &reply, const QString &error) {
    if (reader.await) {
        if (reader.replyDone)
            reader.replyDone(end == DrainEnd::Finished ? reply : std::nullopt,
                             end == DrainEnd::Cancelled ? kNotConnected : error);
    } else if (reader.drainDone) {
        reader.drainDone(end);
    }
}

void LinkController::cancelReaders() {
    // Taken off the stack first, so no phase below reads another line while the ones above end.
    std::vector<std::shared_ptr<Reader>> readers;
    readers.swap(m_readers);
    m_readTimer.stop();
    if (!readers.empty())
        m_lastLine.clear(); // as the read they were waiting in would have ended
    for (auto it = readers.rbegin(); it != readers.rend(); ++it)
        complete(**it, DrainEnd::Cancelled, std::nullopt, {});
}

#include "DrainStack.h"

#include "BusMonitor.h"
#include "GatewayLink.h"
#include "LinkTexts.h"
#include "ValueDispatch.h"

#include <QElapsedTimer>
#include <algorithm>

namespace {
const QString kX = QStringLiteral("x");
// One slice of lines per event-loop turn, so a burst never holds the window.
constexpr int kSliceLines = 1000;
constexpr qint64 kSliceMs = 10;
const QString kLineDropped = LinkTexts::kLineDropped.arg(GatewayLink::kMaxLineLength);
} // namespace

// One read phase: a drain or the wait for one reply.
struct DrainStack::Reader {
    bool await = false;
    Use use = Use::Polling; // drains only
    int timeoutMs = 0;
    bool initial = false;
    bool ignoreX = false;
    std::function<void()> beforeRead;
    DrainDone drainDone;
    CommandChannel::ReplyHandler replyDone;
    bool reading = false; // a read has begun (beforeRead ran) and waits for its line
    bool taking = false;  // inside serviceTop's loop, possibly suspended in a dispatch
    bool expired = false; // a connection drain that reached its time limit
};

DrainStack::DrainStack(GatewayLink &link, BusMonitor &busMonitor, ValueDispatch &dispatch, QObject *parent)
    : QObject(parent), m_link(link), m_busMonitor(busMonitor), m_dispatch(dispatch) {
    // A closed link ends the read under way with an error, like a blocking read would.
    connect(&m_link, &GatewayLink::onStatus, this, [this](GatewayLink::Status status) {
        if (status == GatewayLink::Status::Disconnected)
            schedule();
    });
    connect(&m_link, &GatewayLink::linesAvailable, this, &DrainStack::schedule);
    connect(&m_link, &GatewayLink::failed, this, &DrainStack::schedule);
    m_readTimer.setSingleShot(true);
    connect(&m_readTimer, &QTimer::timeout, this, &DrainStack::onReadTimeout);
    m_serviceTimer.setSingleShot(true);
    m_serviceTimer.setInterval(0);
    connect(&m_serviceTimer, &QTimer::timeout, this, &DrainStack::serviceTop);
}

DrainStack::~DrainStack() {
    // No callback of a phase may run into a half-destroyed window.
    dropAll();
    QObject::disconnect(&m_link, nullptr, this, nullptr);
}

void DrainStack::drain(Use use, int timeoutMs, DrainDone done, std::function<void()> beforeRead) {
    auto reader = std::make_shared<Reader>();
    reader->use = use;
    reader->timeoutMs = timeoutMs;
    reader->initial = use != Use::Polling;
    reader->ignoreX = use == Use::ConnectButton || use == Use::Polling;
    reader->beforeRead = std::move(beforeRead);
    reader->drainDone = std::move(done);
    push(reader);
    if (reader->initial) {
        // What the server had queued before the key is read well within this time; a busy bus
        // that never falls silent must not keep a connection drain (and the splash) for ever.
        QTimer::singleShot(m_initialDrainLimitMs, this, [this, weak = std::weak_ptr<Reader>(reader)] {
            const std::shared_ptr<Reader> expired = weak.lock();
            if (!expired)
                return;
            expired->expired = true;
            if (!expired->taking) // else the loop that takes its lines ends it after this line
                finish(expired, End::Finished, std::nullopt, {});
        });
    }
}

void DrainStack::awaitLine(int timeoutMs, CommandChannel::ReplyHandler done) {
    auto reader = std::make_shared<Reader>();
    reader->await = true;
    reader->timeoutMs = timeoutMs;
    reader->replyDone = std::move(done);
    // The reply is never handed over inside this call, even when it is already here.
    push(reader);
}

bool DrainStack::pollMayStart() const {
    if (m_readers.empty())
        return true;
    const Reader &top = *m_readers.back();
    // A tick gets between the reads of another phase only where that phase lets messages
    // through: the start-up drain after every read, and a dispatch showing a modal box.
    // Any other phase (the drain of the button or the watchdog, a poll waiting for its line,
    // an awaited reply) reads on undisturbed, so its lines keep their `initial` flag.
    return !top.await && (top.taking || top.use == Use::Startup);
}

void DrainStack::setMenuOpen(bool open) {
    m_menuOpen = open;
    if (!open)
        schedule(); // a poll paused by the menu takes what came meanwhile
}

void DrainStack::dropAll() {
    stopReadTimeout();
    m_readers.clear(); // a phase suspended in a dispatch keeps its own reference and ends there
    holdPopupWhileDraining();
}

void DrainStack::push(const std::shared_ptr<Reader> &reader) {
    if (!m_readers.empty()) {
        // The phase below pauses between two reads and starts a fresh read when it resumes.
        m_readers.back()->reading = false;
        stopReadTimeout();
    }
    m_readers.push_back(reader);
    holdPopupWhileDraining();
    schedule();
}

void DrainStack::schedule() {
    // Lines are taken from the event loop, never inside the socket's or a timer's own signal:
    // a dispatch may open a modal box, and inside it the socket has to report new data and
    // Timer1 has to tick again, which neither does while its own handler is still running.
    // A zero timer rather than a posted call: it needs no wake-up of the loop (two system calls
    // and a pass of its own for every line of a quiet bus).
    if (!m_serviceTimer.isActive())
        m_serviceTimer.start();
}

void DrainStack::serviceTop() {
    if (m_readers.empty())
        return;
    const std::shared_ptr<Reader> reader = m_readers.back();
    if (reader->taking)
        return; // suspended in a dispatch; it takes the next line when that returns
    const auto isTop = [this, &reader] {
        return !m_readers.empty() && m_readers.back() == reader;
    };
    reader->taking = true;
    // What the slice's lines cause beyond themselves (views told, the menu's tree refreshed) is
    // done once when it ends, in this turn: a lone line costs one turn of the event loop, not three.
    struct SliceScope {
        BusMonitor &monitor;
        ValueDispatch &dispatch;
        SliceScope(BusMonitor &m, ValueDispatch &d) : monitor(m), dispatch(d) {
            monitor.holdShowing(true);
            dispatch.beginLines();
        }
        ~SliceScope() {
            monitor.holdShowing(false);
            dispatch.endLines();
        }
        SliceScope(const SliceScope &) = delete;
        SliceScope &operator=(const SliceScope &) = delete;
    } scope(m_busMonitor, m_dispatch);
    QElapsedTimer slice;
    slice.start();
    for (int taken = 0;; ++taken) {
        if (reader->expired) {
            reader->taking = false;
            finish(reader, End::Finished, std::nullopt, {});
            return;
        }
        // A drain runs while `lastLine` is not empty; an inner drain or a time-out empties it.
        if (!reader->await && m_lastLine.isEmpty()) {
            reader->taking = false;
            finish(reader, End::Finished, std::nullopt, {});
            return;
        }
        if (m_menuOpen && !reader->await && reader->use == Use::Polling) {
            // No dispatch, and so no rebuild of the popup, while a menu is open. The read goes on
            // waiting; closing the menu lets it take the lines, or it times out meanwhile.
            reader->taking = false;
            armReadTimeout(reader->timeoutMs);
            return;
        }
        if (taken >= kSliceLines || slice.hasExpired(kSliceMs)) {
            // Enough for one turn: timers, repaints and signals run before the next slice.
            reader->taking = false;
            schedule();
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
        m_readArmed = false; // the read is over; the timer itself is left to run (see armReadTimeout)
        // A lone NUL carries nothing; it ends a drain only as a time-out would, when nothing
        // else is waiting behind it.
        if (line->isEmpty() && !reader->await && m_link.hasPendingBytes())
            continue;
        m_lastLine = *line;
        if (reader->await) {
            reader->taking = false;
            finish(reader, End::Finished, *line, {});
            return;
        }
        if (!line->isEmpty() && !(reader->ignoreX && *line == kX)) {
            m_busMonitor.takeLine(*line);
            m_dispatch.update_lv_menu(*line, reader->initial);
        }
        if (!isTop()) {
            // A phase begun during the dispatch (a polling tick under a modal box) is still
            // running, or this one was cancelled; it resumes when the newer one ends.
            reader->taking = false;
            if (reader->expired)
                finish(reader, End::Finished, std::nullopt, {});
            return;
        }
    }
    reader->taking = false;
    if (!m_link.isConnected() || m_link.hasFailed()) {
        finish(reader, End::Failed, std::nullopt, m_link.hasFailed() ? m_link.failureText() : LinkTexts::kNotConnected);
        return;
    }
    armReadTimeout(reader->timeoutMs);
}

// Every line ends a read and the next one begins: on a busy bus, stopping and starting the timer
// for each line would cost more than the line. The time-out is kept as a deadline instead, and the
// timer, when it fires early, sleeps on until the deadline of the read under way.
void DrainStack::armReadTimeout(int ms) {
    if (m_readArmed)
        return;
    m_readArmed = true;
    m_readDeadline.setRemainingTime(ms);
    m_readSlackMs = ms / 20 + 1;
    if (!m_readTimer.isActive() || m_readTimer.remainingTime() > ms)
        m_readTimer.start(ms);
}

void DrainStack::stopReadTimeout() {
    m_readArmed = false;
    m_readTimer.stop();
}

void DrainStack::onReadTimeout() {
    if (!m_readArmed)
        return;
    // A coarse timer may fire up to a twentieth of its interval early; that counts as on time.
    if (const qint64 left = m_readDeadline.remainingTime(); left > m_readSlackMs) {
        m_readTimer.start(int(left));
        return;
    }
    m_readArmed = false;
    if (m_readers.empty())
        return;
    m_readers.back()->reading = false;
    m_lastLine.clear(); // a read that times out leaves the empty text
    finish(m_readers.back(), End::Finished, QString(), {});
}

void DrainStack::finish(const std::shared_ptr<Reader> &reader, End end, const std::optional<QString> &reply,
                        const QString &error) {
    const auto found = std::find(m_readers.begin(), m_readers.end(), reader);
    if (found == m_readers.end())
        return;
    const std::shared_ptr<Reader> keep = reader; // the erase may drop the last reference
    if (std::next(found) == m_readers.end())
        stopReadTimeout(); // the read under way was this phase's
    m_readers.erase(found);
    holdPopupWhileDraining();
    complete(*keep, end, reply, error);
    schedule(); // the phase below goes on, or ends when `lastLine` is now empty
}

void DrainStack::holdPopupWhileDraining() {
    m_dispatch.holdPopup(std::any_of(m_readers.cbegin(), m_readers.cend(), [](const auto &r) { return !r->await; }));
}

void DrainStack::complete(Reader &reader, End end, const std::optional<QString> &reply, const QString &error) {
    if (reader.await) {
        if (reader.replyDone)
            reader.replyDone(end == End::Finished ? reply : std::nullopt,
                             end == End::Cancelled ? LinkTexts::kNotConnected : error);
    } else if (reader.drainDone) {
        reader.drainDone(end);
    }
}

void DrainStack::cancelAll() {
    // Taken off the stack first, so no phase below reads another line while the ones above end.
    std::vector<std::shared_ptr<Reader>> readers;
    readers.swap(m_readers);
    stopReadTimeout();
    holdPopupWhileDraining();
    if (!readers.empty())
        m_lastLine.clear(); // as the read they were waiting in would have ended
    for (auto it = readers.rbegin(); it != readers.rend(); ++it)
        complete(**it, End::Cancelled, std::nullopt, {});
}

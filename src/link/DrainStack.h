#pragma once

#include "CommandChannel.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BusMonitor;
class GatewayLink;
class ValueDispatch;

// The read phases on the gateway link: drains and the wait for one reply, stacked because a
// polling tick may run its own drain inside another phase.
//
// Reading works in phases instead of blocking reads: a drain with time-out T takes every
// complete line as it arrives and ends when no line came for T, when an empty line came with
// nothing behind it (it reads like a time-out), or with an error when the connection fails. A
// connection drain (start-up, button, watchdog) also ends after kInitialDrainLimitMs, whatever
// is still coming; the polling takes the rest. Lines are taken in slices of bounded work, each
// from its own event-loop turn, so timers, repaints and signals run during a burst. `lastLine` follows the
// same rules as a loop of blocking reads would leave it. A polling drain starts inside another
// phase only where a blocking program would process messages: between the reads of the start-up
// drain, and inside a dispatch that shows a modal box (see pollMayStart). It then takes over the
// rest of the lines; when its drain ends with an empty `lastLine`, the drain it interrupted ends
// too. While a reply is awaited, polling does not read; while a menu is open, a polling drain
// takes no line.
class DrainStack : public QObject {
    Q_OBJECT
public:
    enum class End { Finished, Failed, Cancelled };
    using DrainDone = std::function<void(End end)>;
    // The four drains differ in their time-out, their `initial` flag and what they do with "x".
    enum class Use { Startup, ConnectButton, Watchdog, Polling };

    DrainStack(GatewayLink &link, BusMonitor &busMonitor, ValueDispatch &dispatch, QObject *parent = nullptr);
    ~DrainStack() override;

    // A connection drain (every use but polling) ends after this time at the latest.
    static constexpr int kInitialDrainLimitMs = 5000;

    // `drainGateway`: takes lines until a read of timeoutMs gets none. beforeRead runs before
    // every read.
    void drain(Use use, int timeoutMs, DrainDone done, std::function<void()> beforeRead = {});
    // Hands the next line over once, never inside this call (see CommandChannel::awaitLine).
    void awaitLine(int timeoutMs, CommandChannel::ReplyHandler done);
    // Whether a polling tick may start its drain now, on top of the phases under way.
    bool pollMayStart() const;

    // Ends every phase as if its read had timed out (`lastLine` empty); drains report Cancelled,
    // a reply reports the link down.
    void cancelAll();
    // Forgets every phase without any report (the window closes).
    void dropAll();

    QString &lastLine() { return m_lastLine; }
    const QString &lastLine() const { return m_lastLine; }
    void setMenuOpen(bool open);
    bool menuOpen() const { return m_menuOpen; }

    void setInitialDrainLimit(int ms) { m_initialDrainLimitMs = ms; }

    // Something arrived, or the link changed: the innermost phase looks again, from the event loop.
    void schedule();

private:
    struct Reader;

    void push(const std::shared_ptr<Reader> &reader);
    void serviceTop();
    void onReadTimeout();
    void armReadTimeout(int ms);
    void stopReadTimeout();
    void finish(const std::shared_ptr<Reader> &reader, End end, const std::optional<QString> &reply,
                const QString &error);
    void holdPopupWhileDraining();
    static void complete(Reader &reader, End end, const std::optional<QString> &reply, const QString &error);

    GatewayLink &m_link;
    BusMonitor &m_busMonitor;
    ValueDispatch &m_dispatch;
    QString m_lastLine;
    bool m_menuOpen = false;
    std::vector<std::shared_ptr<Reader>> m_readers; // the running read phases, innermost last
    QTimer m_readTimer;                             // the time-out of the innermost phase's read
    QDeadlineTimer m_readDeadline;                  // when that read times out, while armed
    qint64 m_readSlackMs = 0;
    bool m_readArmed = false;
    QTimer m_serviceTimer; // the innermost phase looks again
    int m_initialDrainLimitMs = kInitialDrainLimitMs;
};

#pragma once

#include <QString>
#include <functional>
#include <optional>

// What a menu click or the console needs of the gateway link: send one line, await the one
// reply without blocking, and hand both to the bus monitor and the value dispatch.
class CommandChannel {
public:
    virtual ~CommandChannel() = default;
    // Writes the line plus its NUL terminator. False (nothing written) when the link is down. A
    // NUL, CR or LF inside the line goes out as a blank, so no text can add a line of its own.
    virtual bool sendLine(const QString &line) = 0;
    // Calls back once with the next complete line, with an empty text when none arrived within
    // timeoutMs, or with std::nullopt and the connection's error text when the link is down or
    // fails. While a reply is awaited, polling does not read, so the reply is not taken by it.
    using ReplyHandler = std::function<void(const std::optional<QString> &line, const QString &errorText)>;
    virtual void awaitLine(int timeoutMs, ReplyHandler done) = 0;
    // Puts a text on top of the bus monitor.
    virtual void addToBusMonitor(const QString &text) = 0;
    // Hands a received line to the value dispatch like every other line.
    virtual void dispatchLine(const QString &line, bool initial) = 0;

    // The reply to a line just sent, as clicks and the console read it: put on top of the bus
    // monitor (an empty text after the time-out) and, with `dispatch`, handed to the value
    // dispatch. With the link down, `failed` gets the connection's error text instead.
    void awaitReplyIntoBusMonitor(int timeoutMs, bool dispatch, std::function<void(const QString &error)> failed) {
        awaitLine(timeoutMs, [this, dispatch, failed = std::move(failed)](const std::optional<QString> &reply,
                                                                          const QString &errorText) {
            if (!reply) {
                failed(errorText);
                return;
            }
            addToBusMonitor(*reply);
            if (dispatch)
                dispatchLine(*reply, false);
        });
    }
};

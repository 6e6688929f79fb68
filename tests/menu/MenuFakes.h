#pragma once

// Recording stand-ins for the services the menu talks to. All of them write into one shared log,
// so a test can check the order of calls across services (hint before balloon, balloon before
// message before sound), and the dialogs can run a dispatch while a message box is open. The
// shared fakes of tests/support record per service and cannot tell that order; tests that need
// no order use those.

#include "CommandChannel.h"
#include "Dialogs.h"
#include "EventSounds.h"
#include "TrayIcon.h"

#include <QStringList>
#include <functional>

class RecordingTray : public TrayIcon {
public:
    explicit RecordingTray(QStringList &log) : m_log(log) {}
    bool isAvailable() const override { return true; }
    void show() override {}
    void hide() override {}
    void setIcon(const QIcon &) override {}
    void setHint(const QString &text) override {
        m_hint = text;
        m_log << u"hint:"_qs + text;
    }
    QString hint() const override { return m_hint; }
    void setPopup(QMenu *) override {}
    void showBalloon(const QString &title, const QString &text, int timeoutMs) override {
        m_log << u"balloon:%1|%2|%3"_qs.arg(title, text).arg(timeoutMs);
    }

private:
    QStringList &m_log;
    QString m_hint = u"Quendra"_qs;
};

class RecordingDialogs : public Dialogs {
public:
    explicit RecordingDialogs(QStringList &log) : m_log(log) {}
    void error(const QString &text) override { m_log << u"error:"_qs + text; }
    // Runs whileInformationOpen as if it happened while the modal box is on screen.
    void information(const QString &text) override {
        m_log << u"info:"_qs + text;
        if (whileInformationOpen)
            whileInformationOpen();
    }
    void message(const QString &text) override { m_log << u"message:"_qs + text; }
    bool confirm(const QString &text) override {
        m_log << u"confirm:"_qs + text;
        return true;
    }
    void closeAll() override { m_log << u"closeAll"_qs; }
    std::function<void()> whileInformationOpen;

private:
    QStringList &m_log;
};

class RecordingSounds : public EventSounds {
public:
    explicit RecordingSounds(QStringList &log) : m_log(log) {}
    void play(const QString &name) override { m_log << u"sound:"_qs + name; }
    QStringList eventNames() const override { return {}; }

private:
    QStringList &m_log;
};

// The gateway side of a click: records what is sent and keeps the reply handler so the test
// decides when and how the reply comes.
class ScriptedChannel : public CommandChannel {
public:
    bool sendLine(const QString &line) override {
        sent << line;
        return sendSucceeds;
    }
    void awaitLine(int timeoutMs, ReplyHandler done) override {
        awaitedTimeoutMs = timeoutMs;
        pending = std::move(done);
    }
    void addToBusMonitor(const QString &text) override { busMonitor.prepend(text); }
    void dispatchLine(const QString &line, bool initial) override {
        dispatched << (initial ? u"initial:"_qs : QString()) + line;
    }
    // Delivers the awaited reply once.
    void reply(const std::optional<QString> &line, const QString &errorText = {}) {
        auto done = std::exchange(pending, nullptr);
        if (done)
            done(line, errorText);
    }

    bool sendSucceeds = true;
    QStringList sent;
    QStringList busMonitor; // newest first
    QStringList dispatched;
    int awaitedTimeoutMs = -1;
    ReplyHandler pending;
};

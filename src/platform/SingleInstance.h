#pragma once

#include <QObject>
#include <QString>
#include <functional>

// One program per user session. Two running programs would poll, download and notify twice and
// overwrite each other's files at exit, so a second start hands its wish (show the window) to the
// first one and ends. The real one uses the session bus; tests use a private bus or a fake.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First,        // this start is the session's program
        HandedOver,   // another one runs and was asked to show its window: end this start
        NotAnswering, // another one holds the session but did not answer: it hangs
        NoSession,    // nothing to ask (no session bus): a second start cannot be noticed
    };

    using QObject::QObject;
    ~SingleInstance() override = default;

    // Called once, before any window or file of the program is touched; may wait a few seconds
    // for a running program's answer (there is no event loop yet that could do other work).
    virtual Claim claim() = 0;
    // Why the last claim() came out NotAnswering or NoSession, as the system says it.
    virtual QString reason() const = 0;

    // Answers the session's question whether the main window is shown (not hidden, not minimised).
    void setWindowShownQuery(std::function<bool()> query) { m_windowShown = std::move(query); }

signals:
    // Another start of the program asked for the main window.
    void showRequested();

protected:
    bool windowShown() const { return m_windowShown && m_windowShown(); }

private:
    std::function<bool()> m_windowShown;
};

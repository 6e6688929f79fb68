#pragma once

#include "CommandChannel.h"
#include "ValueTarget.h"

#include <QObject>
#include <QString>
#include <functional>

// The server link as a subsystem uses it: the values received, lines to the gateway and the bus
// monitor's newest values.
class LinkAccess : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Every value received reaches the targets in the order they were added (subsystems add theirs
    // in the order of the program's list). A target stays registered as long as the program runs.
    virtual void addValueTarget(ValueTarget *target) = 0;
    // `make_popup` of the tray popup, run after received values; held while a burst of lines is
    // read, so that a burst costs one rebuild.
    virtual void setPopupRebuild(std::function<void()> rebuild) = 0;
    // Sends lines to the gateway and awaits their replies.
    virtual CommandChannel &commands() = 0;
    // `getlv`: the newest value of the number in the bus monitor, or "0,0" after telling the user
    // that there is none.
    virtual QString lastValue(const QString &gan) = 0;
    // Whether the link is connected and has not failed.
    virtual bool isOnline() const = 0;
    // A line of the program's own on top of the bus monitor.
    virtual void note(const QString &text) = 0;

signals:
    // The link came up or went down, as the tray icon and the status bar show it.
    void onlineChanged(bool online);
};

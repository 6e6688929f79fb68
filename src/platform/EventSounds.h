#pragma once

#include <QString>
#include <QStringList>

// Named system sounds (freedesktop sound theme event ids on Linux).
class EventSounds {
public:
    virtual ~EventSounds() = default;
    // Plays asynchronously; an unknown name plays the default sound. Returns at once.
    virtual void play(const QString &name) = 0;
    // The event names the system offers, for the editor's sound list.
    virtual QStringList eventNames() const = 0;
    // What the list shows for an event name: a German name where the system has one, else the
    // name itself. Only a view: entries keep the event name.
    virtual QString displayName(const QString &eventName) const { return eventName; }
};

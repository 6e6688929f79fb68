#pragma once

#include "EventSounds.h"

#include <QStringList>
#include <QThread>
#include <functional>
#include <memory>

// Named system sounds on Linux: event ids of the freedesktop sound theme, played with libcanberra
// (opened at the first sound; without it every sound is the desktop's beep) on a thread of their own so that opening
// the sound system or looking up a file never holds up the window. A name the theme does not know plays "bell"; without
// a sound device nothing plays and nothing is reported.
class CanberraEventSounds : public EventSounds {
public:
    // Plays one event id on the sound thread; false when the system does not know the id.
    using Player = std::function<bool(const QByteArray &eventId)>;

    // soundRoots: folders holding the sound themes (one subfolder per theme with a "stereo" folder).
    // player: what plays an event id; libcanberra unless a test puts its own in.
    explicit CanberraEventSounds(QStringList soundRoots = {QStringLiteral("/usr/share/sounds")}, Player player = {});
    ~CanberraEventSounds() override;

    void play(const QString &name) override;
    // The file names without extension under <root>/<theme>/stereo/, sorted, each once.
    QStringList eventNames() const override;
    // German names for the event ids of the freedesktop sound naming scheme.
    QString displayName(const QString &eventName) const override;

    static inline const QString kDefaultEvent = QStringLiteral("bell");

private:
    class Worker;
    QStringList m_soundRoots;
    QThread m_thread;
    Worker *m_worker = nullptr; // lives in m_thread
};

// The event sounds of this system.
std::unique_ptr<EventSounds> createEventSounds();

#pragma once

#include "LoopbackGateway.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// The balloons the program under test raised, as the benchmark's notification service got them.
class BalloonInbox {
public:
    void add(const QString &body);
    bool waitFor(const QString &body, std::chrono::milliseconds timeout);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QStringList m_bodies;
};

// One program the benchmark starts and measures: its files in a home folder of its own, how it is
// started, and how it tells that a burst ending in a line for number kMarkerNumber is through.
class Subject {
public:
    static inline const QByteArray kMarkerNumber = "4242";

    virtual ~Subject() = default;
    virtual QString name() const = 0;
    virtual QString program() const = 0;
    virtual QStringList arguments(quint16 gatewayPort) const = 0;
    // Writes what the program reads at its start into the home folder.
    virtual bool prepare(const QString &home, quint16 gatewayPort) const = 0;
    // The bus name that answers the responsiveness probe.
    virtual QString probeService() const = 0;
    // Waits until the program has taken the marker line with this value ("7.0").
    virtual bool waitForMarker(const QByteArray &value, LoopbackGateway &gateway,
                               std::chrono::milliseconds timeout) = 0;
    // After the program ended: whether its saved files show the marker value it took last.
    virtual bool keptMarker(const QString &home, const QByteArray &value) const = 0;
    // Only the figures at rest are measured (a variant built to estimate a share of them).
    virtual bool restOnly() const { return false; }
};

// Quendra as the package installs it: settings and menu in ~/.config/quendra, 32 entries bound to
// numbers of the burst without notifications, and one entry for the marker number that raises a
// balloon. Its settings are the defaults, so the window shows at the start; inTray: set to start in
// the tray ("Minimized"), as users who run it all day have it.
std::unique_ptr<Subject> quendraSubject(const QString &binary, BalloonInbox &balloons, bool inTray);
// The bare tray program of bench/program/bare_tray.cpp; it answers the marker on the link.
std::unique_ptr<Subject> bareTraySubject(const QString &binary, const QString &name, bool restOnly);

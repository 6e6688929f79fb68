#pragma once

#include "HistoryBatch.h"
#include "HistoryDatabase.h"
#include "HistoryRecords.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// The history's writer, living on a thread of its own with its own database connection. Batches
// are gathered for a moment (or until there are many lines) and go into transactions together. Every
// method runs on the writer's thread (the facade History calls them through queued calls).
//
// Faults: a damaged file is moved aside and a new one started, with one message; a write that
// fails (a full disk, a folder that cannot be written) pauses the recording with one message.
// While paused, values are dropped and counted, events are kept (up to a bound); every
// retryIntervalMs the next batch tries again, and when it succeeds an event records the gap.
class HistoryWorker : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString path;
        HistoryLimits limits;
        std::function<qint64()> clock; // ms since 1970
        int retryIntervalMs = 30000;
        // How often the age limit is enforced while recording.
        int ageCheckIntervalMs = 60000;
        // How long lines gather here before they are written (a question or close writes them at
        // once). The facade gathers a quiet bus's lines already; this joins a burst's batches.
        int gatherMs = 50;
    };
    // Events kept while recording is paused.
    static constexpr int kMaxHeldEvents = 1000;

    // inFlight: what was handed over and is not yet written or dropped (the facade's back-pressure).
    HistoryWorker(Options options, InFlight &inFlight);

    void open();
    void enqueue(HistoryBatch batch);
    // Writes everything gathered so far.
    void flush();
    void setLimits(const HistoryLimits &limits);
    void markAllRead();
    // Flushed before any query, so that answers include every line handed over before.
    HistoryDatabase &database();
    void close();

signals:
    void unreadCountChanged(int count);
    void eventsChanged();
    void problem(const QString &message);
    void recordingChanged(bool recording);

private:
    bool ensureOpen();
    bool rescue(const QString &reason);
    void pause(const QString &reason);
    void resumeIfPaused();
    void handle(const HistoryDatabase::Status &status);
    void reportUnread();
    void dropValuesHoldEvents(HistoryBatch batch);

    Options m_options;
    InFlight &m_inFlight;
    HistoryDatabase m_db;
    HistoryBatch m_pending;
    bool m_flushNow = false;
    QTimer *m_gatherTimer;
    bool m_paused = false;
    bool m_retryPosted = false;
    bool m_disabled = false; // no SQLite driver: nothing will ever be recorded
    QElapsedTimer m_sincePause;
    QElapsedTimer m_sinceAgeCheck;
    qint64 m_missed = 0; // values and events not recorded while paused
    int m_lastUnread = -1;
};

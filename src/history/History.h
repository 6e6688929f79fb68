#pragma once

#include "CsvExport.h"
#include "HistoryBatch.h"
#include "HistoryRecords.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

class HistoryWorker;
class MuteList;

// How a History runs; the defaults are the program's.
struct HistoryOptions {
    // ms since 1970; the system clock when empty. Called on the window's and the writer's thread.
    std::function<qint64()> clock;
    int retryIntervalMs = 30000; // how often a paused recording tries again
    // Lines (and their bytes) handed over but not written yet, at most: beyond, new lines are
    // dropped (and the user told once) until the writer has caught up.
    qint64 maxLinesInFlight = 500000;
    qint64 maxBytesInFlight = 64 * 1024 * 1024;
};

// The history ("Verlauf") as the program sees it: hand it value lines and events, ask it for
// events and values, read its unread count. Lives on the window's thread and never blocks it:
// the database is opened, written and read on a writer thread of its own (HistoryWorker); the
// lines handed over gather for a moment and travel there as one batch (a question to the history
// sends them first, so answers hold every line handed over before).
//
// Files, all in the data folder given: the database "quendraverlauf.db", the limits
// "quendraverlauf.ini" and the mutes "quendrastumm.ini" (the last two through the checked writer).
class History : public QObject {
    Q_OBJECT
public:
    static inline const QString kDatabaseName = QStringLiteral("quendraverlauf.db");
    static inline const QString kLimitsName = QStringLiteral("quendraverlauf.ini");
    static inline const QString kMutesName = QStringLiteral("quendrastumm.ini");
    // A batch goes to the writer at the latest when it holds this many lines, or this long after
    // its first line: a steady bus wakes the writer once a second, not once per line, and one
    // transaction a second rewrites far fewer pages of the object index than one per line (a second
    // of values is what a crash may cost the history).
    static constexpr int kLinesPerBatch = 2000;
    static constexpr int kGatherMs = 1000;

    using Options = HistoryOptions;

    // Reads the limits and mutes and starts the writer, which opens the database on its thread.
    explicit History(const QString &dataFolder, Options options = {}, QObject *parent = nullptr);
    // Closes (see close()) and waits until the writer has written the last batch.
    ~History() override;

    const QString &folder() const { return m_folder; }
    QString databasePath() const { return m_folder + kDatabaseName; }
    // The files written through the checked writer (for the start-up's leftover clean-up).
    QStringList writtenFiles() const;
    qint64 now() const { return m_clock(); }

    // A value line as received, stamped with the current time.
    void recordValue(const QString &gan, const QString &value);
    // Value lines with their own times, in this order.
    void recordValues(const QList<ValueRecord> &batch);
    // An event at the current time, unread.
    void recordEvent(EventKind kind, const QString &gan, const QString &text);

    int unreadCount() const { return m_unread; }
    void markAllRead();
    bool isRecording() const { return m_recording; }

    HistoryLimits limits() const { return m_limits; }
    // Saves the limits and applies them (a smaller one drops rows at once). False, with
    // problem(), when the file could not be saved; the limits then hold until the program ends.
    bool setLimits(const HistoryLimits &limits);

    MuteList &mutes() { return *m_mutes; }

    // Answers arrive on this thread through `done`, after every line handed over before the
    // question has been written; an answer for a context that is gone is dropped.
    void queryEvents(const EventFilter &filter, QObject *context, std::function<void(const EventPage &)> done);
    void querySeries(const QString &gan, qint64 fromMs, qint64 toMs, QObject *context,
                     std::function<void(const SeriesRows &)> done);
    void queryObjects(QObject *context, std::function<void(const QStringList &)> done);
    // Writes the object's values in [fromMs, toMs) as CSV through the checked writer.
    void exportCsv(const QString &gan, qint64 fromMs, qint64 toMs, const QString &file, QObject *context,
                   std::function<void(const CsvExport::Result &)> done);
    // Called once every line handed over before is written (or dropped by a pause).
    void afterWrites(QObject *context, std::function<void()> done);

    // Writes what is pending and closes the database on the writer's thread, then emits closed();
    // the program's closing sequence waits for it. Lines handed over afterwards are dropped.
    void close();

signals:
    void unreadCountChanged(int count);
    // New events were recorded or marked read: a shown list should ask again.
    void eventsChanged();
    // One message per fault (damaged file moved aside, recording paused, a failed save).
    void problem(const QString &message);
    void recordingChanged(bool recording);
    void closed();

private:
    void post();
    void onWorker(std::function<void(HistoryWorker &)> work);
    template <typename T>
    void ask(QObject *context, std::function<T(HistoryWorker &)> question, std::function<void(const T &)> done);

    QString m_folder;
    std::function<qint64()> m_clock;
    qint64 m_maxLinesInFlight;
    qint64 m_maxBytesInFlight;
    HistoryLimits m_limits;
    std::unique_ptr<MuteList> m_mutes;
    QThread m_thread;
    HistoryWorker *m_worker = nullptr; // lives on m_thread, deleted when it finishes
    InFlight m_inFlight;
    ValueBlock m_values;
    qsizetype m_lastBlockBytes = 0; // the last batch's block: the next one is reserved as large
    QList<EventRecord> m_events;
    QTimer m_postTimer;
    qint64 m_dropped = 0; // lines dropped since the writer fell behind
    bool m_behindReported = false;
    bool m_closing = false;
    bool m_recording = true;
    int m_unread = 0;
};

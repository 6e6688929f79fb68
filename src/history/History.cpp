#include "History.h"

#include "HistoryLimitsFile.h"
#include "HistoryTexts.h"
#include "HistoryWorker.h"
#include "MuteList.h"

#include <QDateTime>
#include <QDir>
#include <algorithm>

namespace {
// A batch's block is reserved as large as the last one (a burst's batches are alike), at least
// for the lines of a quiet moment and at most for a few batches of short lines.
constexpr qsizetype kMinReservedBytes = 16 * 1024;
constexpr qsizetype kMaxReservedBytes = 1024 * 1024;
} // namespace

History::History(const QString &dataFolder, Options options, QObject *parent)
    : QObject(parent), m_folder(QDir::cleanPath(dataFolder) + u'/'),
      m_clock(options.clock ? options.clock : [] { return QDateTime::currentMSecsSinceEpoch(); }),
      m_maxLinesInFlight(options.maxLinesInFlight), m_maxBytesInFlight(options.maxBytesInFlight),
      m_limits(HistoryLimitsFile::read(m_folder + kLimitsName)),
      m_mutes(std::make_unique<MuteList>(m_folder + kMutesName)) {
    connect(m_mutes.get(), &MuteList::saveFailed, this, &History::problem);
    m_postTimer.setSingleShot(true);
    m_postTimer.setInterval(kGatherMs);
    connect(&m_postTimer, &QTimer::timeout, this, &History::post);

    m_thread.setObjectName(QStringLiteral("Verlauf"));
    m_worker = new HistoryWorker({databasePath(), m_limits, m_clock, options.retryIntervalMs}, m_inFlight);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &HistoryWorker::problem, this, &History::problem);
    connect(m_worker, &HistoryWorker::eventsChanged, this, &History::eventsChanged);
    connect(m_worker, &HistoryWorker::unreadCountChanged, this, [this](int count) {
        m_unread = count;
        emit unreadCountChanged(count);
    });
    connect(m_worker, &HistoryWorker::recordingChanged, this, [this](bool recording) {
        m_recording = recording;
        emit recordingChanged(recording);
    });
    m_thread.start(QThread::LowPriority);
    onWorker([](HistoryWorker &worker) { worker.open(); });
}

History::~History() {
    close();
    // Returns at once when the program awaited closed(); otherwise the last batch is written first.
    m_thread.wait();
}

QStringList History::writtenFiles() const {
    return {m_folder + kLimitsName, m_folder + kMutesName};
}

void History::onWorker(std::function<void(HistoryWorker &)> work) {
    HistoryWorker *worker = m_worker;
    QMetaObject::invokeMethod(
        m_worker, [worker, work = std::move(work)] { work(*worker); }, Qt::QueuedConnection);
}

// The answer comes back through this object (which outlives the writer) and reaches `done` only
// when the context still exists: it is looked at on this thread alone.
template <typename T>
void History::ask(QObject *context, std::function<T(HistoryWorker &)> question, std::function<void(const T &)> done) {
    post();
    const QPointer<QObject> guard(context);
    const bool anyContext = context == nullptr;
    onWorker([this, guard, anyContext, question = std::move(question), done = std::move(done)](HistoryWorker &worker) {
        QMetaObject::invokeMethod(
            this,
            [guard, anyContext, done, answer = question(worker)] {
                if (anyContext || guard)
                    done(answer);
            },
            Qt::QueuedConnection);
    });
}

void History::recordValue(const QString &gan, const QString &value) {
    if (m_closing)
        return;
    if (m_values.isEmpty())
        m_values.reserveBytes(
            std::clamp(m_lastBlockBytes + m_lastBlockBytes / 8, kMinReservedBytes, kMaxReservedBytes));
    m_values.append(m_clock(), gan, value);
    if (m_values.size() >= kLinesPerBatch)
        post();
    else if (!m_postTimer.isActive())
        m_postTimer.start();
}

void History::recordValues(const QList<ValueRecord> &batch) {
    if (m_closing)
        return;
    for (const ValueRecord &row : batch)
        m_values.append(row.timeMs, row.gan, row.value);
    post();
}

void History::recordEvent(EventKind kind, const QString &gan, const QString &text) {
    if (m_closing)
        return;
    m_events.append({0, m_clock(), EventKinds::key(kind), gan, text, false});
    if (!m_postTimer.isActive())
        m_postTimer.start();
}

// Hands the lines gathered so far to the writer, unless it is too far behind: then they are
// dropped, the user hears of it once, and an event notes the gap when the writer has caught up.
void History::post() {
    m_postTimer.stop();
    if (m_values.isEmpty() && m_events.isEmpty())
        return;
    m_lastBlockBytes = m_values.byteSize();
    HistoryBatch batch{std::exchange(m_values, {}), std::exchange(m_events, {})};
    if (m_inFlight.lines + batch.size() > m_maxLinesInFlight || m_inFlight.bytes + batch.bytes() > m_maxBytesInFlight) {
        m_dropped += batch.size();
        if (!std::exchange(m_behindReported, true))
            emit problem(HistoryTexts::kBehind.arg(m_dropped));
        return;
    }
    if (m_dropped > 0) {
        batch.events.prepend({0,
                              m_clock(),
                              EventKinds::key(EventKind::HistoryGap),
                              {},
                              HistoryTexts::kGapResumed.arg(std::exchange(m_dropped, 0)),
                              false});
        m_behindReported = false;
    }
    m_inFlight.add(batch);
    onWorker([batch = std::move(batch)](HistoryWorker &worker) mutable { worker.enqueue(std::move(batch)); });
}

void History::markAllRead() {
    post();
    onWorker([](HistoryWorker &worker) { worker.markAllRead(); });
}

bool History::setLimits(const HistoryLimits &limits) {
    m_limits = limits;
    onWorker([limits](HistoryWorker &worker) { worker.setLimits(limits); });
    QString error;
    if (HistoryLimitsFile::write(m_folder + kLimitsName, limits, &error))
        return true;
    emit problem(error);
    return false;
}

void History::queryEvents(const EventFilter &filter, QObject *context, std::function<void(const EventPage &)> done) {
    ask<EventPage>(
        context, [filter](HistoryWorker &worker) { return worker.database().events(filter); }, std::move(done));
}

void History::querySeries(const QString &gan, qint64 fromMs, qint64 toMs, QObject *context,
                          std::function<void(const SeriesRows &)> done) {
    ask<SeriesRows>(
        context,
        [gan, fromMs, toMs](HistoryWorker &worker) {
            return worker.database().series(gan, fromMs, toMs, CsvExport::kMaxChartRows);
        },
        std::move(done));
}

void History::queryObjects(QObject *context, std::function<void(const QStringList &)> done) {
    ask<QStringList>(
        context, [](HistoryWorker &worker) { return worker.database().objects(); }, std::move(done));
}

void History::exportCsv(const QString &gan, qint64 fromMs, qint64 toMs, const QString &file, QObject *context,
                        std::function<void(const CsvExport::Result &)> done) {
    ask<CsvExport::Result>(
        context,
        [gan, fromMs, toMs, file](HistoryWorker &worker) {
            HistoryDatabase &db = worker.database();
            return CsvExport::writeFile(file, [&](const CsvExport::RowSink &sink) {
                return db.forEachRow(gan, fromMs, toMs, CsvExport::kMaxRows, sink);
            });
        },
        std::move(done));
}

void History::afterWrites(QObject *context, std::function<void()> done) {
    ask<bool>(
        context,
        [](HistoryWorker &worker) {
            worker.flush();
            return true;
        },
        [done = std::move(done)](const bool &) { done(); });
}

void History::close() {
    if (std::exchange(m_closing, true))
        return;
    m_postTimer.stop();
    if (!m_values.isEmpty() || !m_events.isEmpty()) {
        HistoryBatch batch{std::exchange(m_values, {}), std::exchange(m_events, {})};
        m_inFlight.add(batch);
        onWorker([batch = std::move(batch)](HistoryWorker &worker) mutable { worker.enqueue(std::move(batch)); });
    }
    // Queued behind everything handed over: written, closed, and the thread ends.
    onWorker([this](HistoryWorker &worker) {
        worker.close();
        QThread::currentThread()->quit();
        QMetaObject::invokeMethod(this, &History::closed, Qt::QueuedConnection);
    });
}

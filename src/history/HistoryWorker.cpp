#include "HistoryWorker.h"

#include "DamagedFile.h"
#include "HistoryTexts.h"

#include <QDateTime>
#include <QTimer>

HistoryWorker::HistoryWorker(Options options, InFlight &inFlight)
    : m_options(std::move(options)), m_inFlight(inFlight), m_db(m_options.path), m_gatherTimer(new QTimer(this)) {
    // A child, so that it moves to the writer's thread with this object.
    m_gatherTimer->setSingleShot(true);
    connect(m_gatherTimer, &QTimer::timeout, this, &HistoryWorker::flush);
}

void HistoryWorker::open() {
    m_sinceAgeCheck.start();
    if (ensureOpen())
        handle(m_db.enforceLimits(m_options.clock()));
    reportUnread();
}

// Opens the file when it is not open; a damaged one is moved aside. False (paused) otherwise.
bool HistoryWorker::ensureOpen() {
    if (m_db.isOpen())
        return true;
    if (m_disabled)
        return false;
    const HistoryDatabase::Status status = m_db.open(m_options.limits);
    if (status.ok())
        return true;
    if (status.outcome == HistoryDatabase::Outcome::Damaged)
        return rescue(status.reason);
    if (status.reason == HistoryTexts::kNoDriver || status.outcome == HistoryDatabase::Outcome::Newer) {
        // Nothing a later try could change: one message, and the history stays off.
        m_disabled = true;
        emit problem(HistoryTexts::kCannotOpen.arg(m_options.path, status.reason));
        return false;
    }
    pause(status.reason);
    return false;
}

bool HistoryWorker::rescue(const QString &reason) {
    m_db.close();
    const DamagedFile::Moved moved = DamagedFile::moveAside(m_options.path, QDateTime::currentDateTime());
    if (!moved.ok) {
        pause(HistoryTexts::kDamagedNotMoved.arg(m_options.path, QStringLiteral("%1 (%2)").arg(moved.reason, reason)));
        return false;
    }
    if (const HistoryDatabase::Status status = m_db.open(m_options.limits); !status.ok()) {
        pause(status.reason);
        return false;
    }
    emit problem(HistoryTexts::kDamaged.arg(m_options.path, moved.newPath));
    EventRecord event{0,
                      m_options.clock(),
                      EventKinds::key(EventKind::HistoryGap),
                      {},
                      HistoryTexts::kGapNewFile.arg(moved.newPath),
                      false};
    m_db.write({}, {event});
    emit eventsChanged();
    return true;
}

void HistoryWorker::pause(const QString &reason) {
    m_sincePause.start();
    if (!m_retryPosted) {
        // Held events try again even when no value comes.
        m_retryPosted = true;
        QTimer::singleShot(m_options.retryIntervalMs, this, [this] {
            m_retryPosted = false;
            flush();
        });
    }
    if (m_paused)
        return;
    m_paused = true;
    emit problem(HistoryTexts::kPaused.arg(m_options.path, reason));
    emit recordingChanged(false);
}

void HistoryWorker::enqueue(HistoryBatch batch) {
    m_pending.values.append(batch.values);
    m_pending.events.append(std::move(batch.events));
    // Lines gather for a moment before they are written: fewer, larger transactions cost less
    // and grow the log less than one per pass of the window's event loop. Many lines go at once.
    if (m_pending.size() >= HistoryDatabase::kMaxRowsPerTransaction) {
        if (!m_flushNow) {
            m_flushNow = true;
            QMetaObject::invokeMethod(this, &HistoryWorker::flush, Qt::QueuedConnection);
        }
    } else if (!m_gatherTimer->isActive()) {
        m_gatherTimer->start(m_options.gatherMs);
    }
}

// Paused: the values are dropped (and counted), the newest events wait for the next try.
void HistoryWorker::dropValuesHoldEvents(HistoryBatch batch) {
    const qsizetype held = std::min<qsizetype>(batch.events.size(), kMaxHeldEvents);
    m_pending.events = batch.events.mid(batch.events.size() - held);
    batch.events.resize(batch.events.size() - held);
    m_missed += batch.size();
    m_inFlight.remove(batch);
}

void HistoryWorker::flush() {
    m_flushNow = false;
    m_gatherTimer->stop();
    if (m_pending.size() == 0)
        return;
    HistoryBatch batch = std::exchange(m_pending, {});
    const bool retryDue = !m_paused || m_sincePause.hasExpired(m_options.retryIntervalMs);
    if (!retryDue || !ensureOpen()) {
        dropValuesHoldEvents(std::move(batch));
        return;
    }
    HistoryDatabase::Status status = m_db.writeBlock(batch.values, batch.events);
    if (status.outcome == HistoryDatabase::Outcome::Damaged && rescue(status.reason))
        status = m_db.writeBlock(batch.values, batch.events);
    if (!status.ok()) {
        if (m_db.isOpen() && status.outcome == HistoryDatabase::Outcome::Damaged)
            m_db.close();
        dropValuesHoldEvents(std::move(batch));
        pause(status.reason);
        return;
    }
    m_inFlight.remove(batch);
    resumeIfPaused();
    if (m_sinceAgeCheck.hasExpired(m_options.ageCheckIntervalMs)) {
        m_sinceAgeCheck.start();
        handle(m_db.enforceLimits(m_options.clock()));
    }
    if (!batch.events.isEmpty()) {
        emit eventsChanged();
        reportUnread();
    }
}

void HistoryWorker::resumeIfPaused() {
    if (!m_paused)
        return;
    m_paused = false;
    EventRecord event{0,
                      m_options.clock(),
                      EventKinds::key(EventKind::HistoryGap),
                      {},
                      HistoryTexts::kGapResumed.arg(std::exchange(m_missed, 0)),
                      false};
    m_db.write({}, {event});
    emit eventsChanged();
    emit recordingChanged(true);
}

// A failure outside of a batch (limits, marking read): the same rules as a write.
void HistoryWorker::handle(const HistoryDatabase::Status &status) {
    if (status.ok())
        return;
    if (status.outcome == HistoryDatabase::Outcome::Damaged) {
        rescue(status.reason);
        return;
    }
    pause(status.reason);
}

void HistoryWorker::setLimits(const HistoryLimits &limits) {
    m_options.limits = limits;
    if (m_db.isOpen())
        handle(m_db.setLimits(limits, m_options.clock()));
    reportUnread();
}

void HistoryWorker::markAllRead() {
    flush();
    if (m_db.isOpen())
        handle(m_db.markAllRead());
    emit eventsChanged();
    reportUnread();
}

void HistoryWorker::reportUnread() {
    const int unread = m_db.unreadCount();
    if (unread != m_lastUnread) {
        m_lastUnread = unread;
        emit unreadCountChanged(unread);
    }
}

HistoryDatabase &HistoryWorker::database() {
    flush();
    return m_db;
}

void HistoryWorker::close() {
    flush();
    m_db.close();
}

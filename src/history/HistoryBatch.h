#pragma once

#include "HistoryRecords.h"

#include <QByteArray>
#include <QStringView>
#include <atomic>

// Value lines packed one after another into one byte block: per line its time and the lengths of
// gan and value (UTF-16 units), then their UTF-16 units. The window's thread appends a line with
// one copy into memory reserved per batch, not two shared strings that stay alive (and are freed
// on the other thread) until the writer is done; the writer reads the texts where they lie.
class ValueBlock {
public:
    struct Line {
        qint64 timeMs = 0;
        QStringView gan;
        QStringView value;
    };
    // Value texts are kept up to this many units: the history stores them cut shorter anyway, and
    // the block stays small (and every length fits its field) whatever a line carries.
    static constexpr qsizetype kKeptValueChars = 64 * 1024 + 1;

    void append(qint64 timeMs, QStringView gan, QStringView value);
    void append(const ValueBlock &other);
    void reserveBytes(qsizetype bytes) { m_bytes.reserve(bytes); }

    qsizetype size() const { return m_lines; }
    bool isEmpty() const { return m_lines == 0; }
    qsizetype byteSize() const { return m_bytes.size(); }
    // The lengths of the texts as they were handed over (before any was kept shorter).
    qint64 textChars() const { return m_chars; }

    // The line at *offset (0 for the first); moves *offset to the next. The views point into the
    // block.
    Line read(qsizetype *offset) const;
    bool atEnd(qsizetype offset) const { return offset >= m_bytes.size(); }

    static ValueBlock of(const QList<ValueRecord> &records);

private:
    struct Header {
        qint64 timeMs;
        qint32 ganChars;
        qint32 valueChars;
    };

    QByteArray m_bytes;
    qsizetype m_lines = 0;
    qint64 m_chars = 0;
};

// What the window's thread hands over in one go.
struct HistoryBatch {
    ValueBlock values;
    QList<EventRecord> events;
    qsizetype size() const { return values.size() + events.size(); }
    qint64 bytes() const;
};

// Lines handed to the writer and not yet written or dropped: the window's thread adds, the
// writer's removes.
struct InFlight {
    std::atomic<qint64> lines{0};
    std::atomic<qint64> bytes{0};
    void add(const HistoryBatch &batch);
    void remove(const HistoryBatch &batch);
};

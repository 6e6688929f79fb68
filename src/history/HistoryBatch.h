#pragma once

#include "HistoryRecords.h"

#include <atomic>

// What the window's thread hands over in one go.
struct HistoryBatch {
    QList<ValueRecord> values;
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

#include "HistoryBatch.h"

qint64 HistoryBatch::bytes() const {
    // What the lines take in memory, roughly: their texts and a fixed share for the rest.
    constexpr qint64 kLineOverhead = 64;
    qint64 total = 0;
    for (const ValueRecord &row : values)
        total += kLineOverhead + 2 * (row.gan.size() + row.value.size());
    for (const EventRecord &event : events)
        total += kLineOverhead + 2 * (event.gan.size() + event.text.size() + event.kindKey.size());
    return total;
}

void InFlight::add(const HistoryBatch &batch) {
    lines += batch.size();
    bytes += batch.bytes();
}

void InFlight::remove(const HistoryBatch &batch) {
    lines -= batch.size();
    bytes -= batch.bytes();
}

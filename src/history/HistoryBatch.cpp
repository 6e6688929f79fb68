#include "HistoryBatch.h"

#include <algorithm>
#include <cstring>

void ValueBlock::append(qint64 timeMs, QStringView gan, QStringView value) {
    m_chars += gan.size() + value.size();
    value.truncate(std::min(value.size(), kKeptValueChars));
    const Header header{timeMs, qint32(gan.size()), qint32(value.size())};
    const qsizetype ganBytes = gan.size() * qsizetype(sizeof(char16_t));
    const qsizetype valueBytes = value.size() * qsizetype(sizeof(char16_t));
    const qsizetype at = m_bytes.size();
    const qsizetype end = at + qsizetype(sizeof header) + ganBytes + valueBytes;
    if (end > m_bytes.capacity())
        m_bytes.reserve(std::max(end, 2 * m_bytes.capacity()));
    m_bytes.resize(end);
    char *out = m_bytes.data() + at;
    std::memcpy(out, &header, sizeof header);
    if (ganBytes > 0)
        std::memcpy(out + sizeof header, gan.utf16(), size_t(ganBytes));
    if (valueBytes > 0)
        std::memcpy(out + sizeof header + ganBytes, value.utf16(), size_t(valueBytes));
    ++m_lines;
}

void ValueBlock::append(const ValueBlock &other) {
    if (isEmpty()) {
        *this = other;
        return;
    }
    m_bytes.append(other.m_bytes);
    m_lines += other.m_lines;
    m_chars += other.m_chars;
}

ValueBlock::Line ValueBlock::read(qsizetype *offset) const {
    Header header;
    const char *in = m_bytes.constData() + *offset;
    std::memcpy(&header, in, sizeof header);
    // Every field is a whole number of UTF-16 units long, so the texts lie aligned for them.
    const auto *gan = reinterpret_cast<const char16_t *>(in + sizeof header);
    const char16_t *value = gan + header.ganChars;
    *offset +=
        qsizetype(sizeof header) + (qsizetype(header.ganChars) + header.valueChars) * qsizetype(sizeof(char16_t));
    return {header.timeMs, QStringView(gan, header.ganChars), QStringView(value, header.valueChars)};
}

ValueBlock ValueBlock::of(const QList<ValueRecord> &records) {
    ValueBlock block;
    for (const ValueRecord &row : records)
        block.append(row.timeMs, row.gan, row.value);
    return block;
}

qint64 HistoryBatch::bytes() const {
    // What the lines take in memory, roughly: their texts and a fixed share for the rest.
    constexpr qint64 kLineOverhead = 64;
    qint64 total = kLineOverhead * values.size() + 2 * values.textChars();
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

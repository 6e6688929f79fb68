#include "PageSource.h"

#include "AnsiText.h"

#include <algorithm>
#include <cstring>

QByteArray PageSource::fromDocument(const QByteArray &bytes) {
    PageSourceBuilder builder(bytes);
    while (!builder.run(bytes.size() + 1)) {
    }
    return builder.takeSource();
}

PageSourceBuilder::PageSourceBuilder(QByteArray document) : m_document(std::move(document)) {
}

bool PageSourceBuilder::run(qsizetype bytes) {
    const char *data = m_document.constData();
    const qsizetype size = m_document.size();
    if (m_phase == Phase::Count) {
        const qsizetype end = std::min(size, m_pos + bytes);
        m_lineBreaks += std::count(data + m_pos, data + end, '\n');
        m_pos = end;
        if (m_pos < size)
            return false;
        // Every LF becomes at most three bytes ("\r\r\n" stands for LF TAB, two bytes of the document).
        m_source.reserve(size + m_lineBreaks * 2);
        m_pos = 0;
        m_phase = Phase::Copy;
        return false;
    }
    if (m_phase == Phase::Copy) {
        // Runs up to the next LF are copied whole; a slice may end inside a run, never inside a
        // replacement, since the TAB after an LF is looked up in the whole document.
        const qsizetype end = std::min(size, m_pos + bytes);
        while (m_pos < end) {
            const void *found = std::memchr(data + m_pos, '\n', static_cast<size_t>(end - m_pos));
            const qsizetype lf = found ? static_cast<const char *>(found) - data : end;
            m_source.append(data + m_pos, lf - m_pos);
            m_pos = lf;
            if (!found)
                break;
            if (lf + 1 < size && data[lf + 1] == '\t') {
                // The first replacement's CR LF gets its LF replaced by the second one.
                m_source.append("\r\r\n", 3);
                m_pos = lf + 2;
            } else {
                m_source.append("\r\n", 2);
                m_pos = lf + 1;
            }
        }
        if (m_pos < size)
            return false;
        m_document = QByteArray();
        m_phase = Phase::Done;
    }
    return true;
}

QString PageSource::viewText(const QByteArray &source) {
    return AnsiText::decode(source);
}

qsizetype FindInSource(QStringView source, QStringView text, qsizetype from, qsizetype count) {
    if (text.isEmpty() || from < 1 || count < text.size() || from > source.size())
        return 0;
    const QStringView region = source.mid(from - 1, std::min(count, source.size() - from + 1));
    const qsizetype found = region.indexOf(text, 0, Qt::CaseInsensitive);
    return found < 0 ? 0 : from + found;
}

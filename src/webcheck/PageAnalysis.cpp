#include "PageAnalysis.h"

#include "AnsiText.h"
#include "ProjectFile.h"

#include <cstring>
#include <utility>

namespace {
bool isAsciiAlphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

PageAnalysis::PageAnalysis(QByteArray source) : m_source(std::move(source)), m_length(m_source.size()) {
}

bool PageAnalysis::startsWithLower(qsizetype p, const char *lowerText, qsizetype size) const {
    if (p < 1 || p + size - 1 > m_length)
        return false;
    for (qsizetype i = 0; i < size; ++i)
        if (lowerAscii(at(p + i)) != lowerText[i])
            return false;
    return true;
}

void PageAnalysis::addRow(AnalysisEntry::Kind kind, qsizetype start) {
    // The value stands at start .. P - 1; P is the character that ended it.
    AnalysisEntry row;
    row.value = AnsiText::decode(m_source.mid(start - 1, m_p - start));
    row.kind = kind;
    row.start = QString::number(start);
    row.end = QString::number(m_p - 1);
    m_rows.append(std::move(row));
    if (++m_rowCount >= ProjectFile::kMaxEntries) {
        m_stoppedAtBudget = true;
        cancel();
    }
}

void PageAnalysis::endTag() {
    m_depth = 0;
    m_tagEnded = false;
    m_scriptEnded = false;
    m_phase = Phase::Between;
}

void PageAnalysis::cancel() {
    m_p = m_length;
    m_finished = true;
}

QList<AnalysisEntry> PageAnalysis::takeRows() {
    // The next slice finds as many rows as this one, about: its list is reserved for them, so it
    // does not grow by reallocation.
    QList<AnalysisEntry> next;
    next.reserve(m_rows.size());
    return std::exchange(m_rows, std::move(next));
}

// The scan examines one character per step; the last character of the source is never examined
// as the start of a tag or text, only as part of an attribute value.
bool PageAnalysis::run(qsizetype steps, const ScanOptions &options) {
    for (; steps > 0 && !m_finished; --steps) {
        switch (m_phase) {
        case Phase::Between:
            if (m_p >= m_length) {
                m_finished = true;
            } else if (at(m_p) == '<') {
                ++m_p;
                m_phase = startsWithLower(m_p, "scrip", 5) ? Phase::Script : Phase::Tag;
            } else if (options.text) {
                m_valueStart = m_p;
                m_phase = Phase::Text;
            } else {
                ++m_p;
            }
            break;
        case Phase::Text: {
            // Up to the next "<" at once; the run may not pass the last position.
            const qsizetype limit = std::min(m_length, m_p + steps);
            const void *lt = std::memchr(m_source.constData() + m_p - 1, '<', static_cast<size_t>(limit - m_p));
            if (!lt) {
                m_p = limit;
                if (m_p < m_length)
                    break;
            } else {
                m_p = static_cast<const char *>(lt) - m_source.constData() + 1;
            }
            if (m_p > m_valueStart && isAsciiAlphanumeric(at(m_valueStart)))
                addRow(AnalysisEntry::Text, m_valueStart);
            m_phase = Phase::Between;
            break;
        }
        case Phase::Script:
            // Up to the "<" of the closing tag, which is then scanned as the next tag.
            if (m_scriptEnded || m_p >= m_length)
                m_phase = Phase::Between;
            else if (startsWithLower(m_p, "</scr", 5))
                m_scriptEnded = true;
            else
                ++m_p;
            break;
        case Phase::Tag: {
            if (m_tagEnded || m_p >= m_length) {
                endTag();
                break;
            }
            // The end test comes first, so a ">" that closes a nested "<" does not end the tag.
            const char c = at(m_p);
            if (c == '>' && m_depth == 0)
                m_tagEnded = true;
            if (c == '<')
                ++m_depth;
            if (m_depth > 0 && c == '>')
                --m_depth;
            if (options.links && startsWithLower(m_p, "href=\"", 6)) {
                m_p += 6;
                m_valueStart = m_p;
                m_attributeKind = AnalysisEntry::Link;
                m_phase = Phase::Attribute;
                break;
            }
            m_phase = Phase::TagImages;
            [[fallthrough]];
        }
        case Phase::TagImages:
            if (options.images && startsWithLower(m_p, "src=\"", 5)) {
                m_p += 5;
                m_valueStart = m_p;
                m_attributeKind = AnalysisEntry::Image;
                m_phase = Phase::Attribute;
                break;
            }
            [[fallthrough]];
        case Phase::TagNext:
            ++m_p;
            m_phase = Phase::Tag;
            break;
        case Phase::Attribute: {
            // An unclosed value runs to the end of the source.
            const void *quote = std::memchr(m_source.constData() + m_p - 1, '"',
                                            static_cast<size_t>(std::max<qsizetype>(0, m_length - m_p + 1)));
            m_p = quote ? static_cast<const char *>(quote) - m_source.constData() + 1 : m_length + 1;
            addRow(m_attributeKind, m_valueStart);
            if (!m_finished)
                m_phase = m_attributeKind == AnalysisEntry::Link ? Phase::TagImages : Phase::TagNext;
            break;
        }
        }
    }
    return m_finished;
}

QList<AnalysisEntry> analysePage(const QByteArray &source, const ScanOptions &options) {
    PageAnalysis analysis(source);
    while (!analysis.run(1 << 20, options)) {
    }
    return analysis.takeRows();
}

#include "LineSplitter.h"

#include <utility>

bool LineSplitter::takeBytes(QByteArrayView data) {
    bool gotLine = false;
    while (!data.isEmpty()) {
        const qsizetype nul = data.indexOf('\0');
        const QByteArrayView piece = nul < 0 ? data : data.first(nul);
        if (!m_skipping && m_partial.size() + piece.size() > kMaxLineLength) {
            // The place of the line in the stream is kept, so its report comes in order.
            m_partial.clear();
            m_lines.push_back({{}, true});
            m_queuedBytes += kLineOverheadBytes;
            m_skipping = true;
            gotLine = true;
        }
        if (!m_skipping)
            m_partial.append(piece);
        if (nul < 0)
            break;
        if (!m_skipping) {
            m_queuedBytes += m_partial.size() + kLineOverheadBytes;
            m_lines.push_back({std::exchange(m_partial, {}), false});
            gotLine = true;
        }
        m_skipping = false;
        data = data.sliced(nul + 1);
    }
    return gotLine;
}

std::optional<QByteArray> LineSplitter::takeLine() {
    while (!m_lines.empty() && m_lines.front().overlong)
        popLine();
    if (m_lines.empty())
        return std::nullopt;
    return popLine().bytes;
}

bool LineSplitter::takeOverlongLine() {
    if (m_lines.empty() || !m_lines.front().overlong)
        return false;
    popLine();
    return true;
}

LineSplitter::Line LineSplitter::popLine() {
    Line line = std::move(m_lines.front());
    m_lines.pop_front();
    m_queuedBytes -= line.bytes.size() + kLineOverheadBytes;
    return line;
}

void LineSplitter::clear() {
    m_lines.clear();
    m_queuedBytes = 0;
    m_partial.clear();
    m_skipping = false;
}

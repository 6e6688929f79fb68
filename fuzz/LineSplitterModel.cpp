#include "LineSplitterModel.h"

#include <utility>

bool LineSplitterModel::take(QByteArrayView data) {
    bool gotLine = false;
    while (!data.isEmpty()) {
        const qsizetype nul = data.indexOf('\0');
        const QByteArrayView piece = nul < 0 ? data : data.first(nul);
        if (!m_skipping && m_partial.size() + piece.size() > kMaxLineLength) {
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

void LineSplitterModel::pop() {
    m_queuedBytes -= m_lines.front().bytes.size() + kLineOverheadBytes;
    m_lines.pop_front();
}

void LineSplitterModel::clear() {
    m_lines.clear();
    m_queuedBytes = 0;
    m_partial.clear();
    m_skipping = false;
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <deque>

// The rules GatewayLink cuts the gateway's byte stream by (GatewayLink::takeBytes), as a class
// the line splitter target can feed: lines end at each NUL, whatever pieces the bytes arrive in;
// a line that grows beyond kMaxLineLength is dropped whole, up to its NUL, and its place in the
// stream is kept as a dropped entry; the complete lines are counted with a fixed cost per line.
// The link's own splitter takes its place in the target once GatewayLink offers one to feed.
class LineSplitterModel {
public:
    static constexpr qsizetype kMaxLineLength = 64 * 1024;
    static constexpr qsizetype kLineOverheadBytes = 32;

    struct Line {
        QByteArray bytes;
        bool dropped = false;
    };

    // True when a line or a dropped line was completed and queued.
    bool take(QByteArrayView data);

    bool isEmpty() const { return m_lines.empty(); }
    qsizetype size() const { return static_cast<qsizetype>(m_lines.size()); }
    const Line &front() const { return m_lines.front(); }
    void pop();

    // What the queued lines occupy, each with its kLineOverheadBytes.
    qsizetype queuedBytes() const { return m_queuedBytes; }
    // Bytes of the line still waiting for its NUL (at most kMaxLineLength).
    qsizetype incompleteLineLength() const { return m_partial.size(); }
    // Part of a line has arrived: bytes waiting for their NUL, or the rest of a dropped line.
    bool hasIncompleteLine() const { return !m_partial.isEmpty() || m_skipping; }
    void clear();

private:
    std::deque<Line> m_lines;
    qsizetype m_queuedBytes = 0;
    QByteArray m_partial;
    bool m_skipping = false; // dropping the rest of an overlong line up to its NUL
};

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <deque>
#include <optional>

// Cuts a byte stream into lines that end with one NUL, whatever pieces the bytes arrive in. Memory
// stays bounded: a line that grows beyond kMaxLineLength is dropped whole, up to its NUL, and keeps
// its place in the queue as an overlong marker so its report comes in order; every queued line is
// counted with a fixed cost, so a flood of empty lines is bounded by the same budget.
class LineSplitter {
public:
    static constexpr qsizetype kMaxLineLength = 64 * 1024;
    // What a queued line costs beyond its bytes.
    static constexpr qsizetype kLineOverheadBytes = 32;

    // True when a line or an overlong marker was completed and queued.
    bool takeBytes(QByteArrayView data);

    // The next complete line without its NUL; overlong markers in front of it are passed over.
    std::optional<QByteArray> takeLine();
    // True, and passed over, when the next queued entry is an overlong marker.
    bool takeOverlongLine();

    qsizetype pendingLineCount() const { return static_cast<qsizetype>(m_lines.size()); }
    // Anything taken and not yet read: a queued line, or part of one still waiting for its NUL.
    bool hasPendingBytes() const { return !m_lines.empty() || !m_partial.isEmpty() || m_skipping; }
    // Bytes of the line still waiting for its NUL (at most kMaxLineLength).
    qsizetype incompleteLineLength() const { return m_partial.size(); }
    // What the queued lines occupy, each with its kLineOverheadBytes.
    qsizetype queuedBytes() const { return m_queuedBytes; }
    void clear();

private:
    struct Line {
        QByteArray bytes;
        bool overlong = false;
    };
    Line popLine();

    std::deque<Line> m_lines;
    qsizetype m_queuedBytes = 0;
    QByteArray m_partial;
    bool m_skipping = false; // dropping the rest of an overlong line up to its NUL
};

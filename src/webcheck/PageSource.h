#pragma once

#include <QByteArray>
#include <QString>
#include <utility>

// The source text of the current document: its bytes as the server fetches them, one character
// per byte, positions counted from 1.
namespace PageSource {
// A page larger than this is not taken (a 20 MB page still is).
constexpr qsizetype kMaxBytes = 32 * 1024 * 1024;

// The document's bytes with the line breaks the source view shows: every LF followed by TAB
// becomes CR LF, then every LF becomes CR LF (so a CR LF of the document becomes CR CR LF).
QByteArray fromDocument(const QByteArray &bytes);
// The text of the source view: one character per byte, so positions in it are byte positions.
QString viewText(const QByteArray &source);
} // namespace PageSource

// PageSource::fromDocument in slices of a bounded number of bytes, so a 20 MB page does not hold
// the event loop: first the line breaks are counted (the result is then reserved whole, it never
// grows by reallocation), then the bytes are copied with their line breaks replaced.
class PageSourceBuilder {
public:
    // Bytes looked at between two returns to the event loop: well under a millisecond of work.
    static constexpr qsizetype kSliceBytes = 1 << 20;

    explicit PageSourceBuilder(QByteArray document);

    // Works through at most `bytes` bytes of the document; true when the source is complete.
    bool run(qsizetype bytes);
    bool finished() const { return m_phase == Phase::Done; }
    // The source, once finished.
    QByteArray takeSource() { return std::exchange(m_source, {}); }

private:
    enum class Phase { Count, Copy, Done };

    QByteArray m_document;
    QByteArray m_source;
    qsizetype m_pos = 0;
    qsizetype m_lineBreaks = 0;
    Phase m_phase = Phase::Count;
};

// The position (from 1) of the first occurrence of `text`, regardless of case, that lies wholly
// within the positions from .. from + count - 1 of `source`; 0 when there is none (also for an
// empty text or region).
qsizetype FindInSource(QStringView source, QStringView text, qsizetype from, qsizetype count);

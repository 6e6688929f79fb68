#pragma once

#include <QByteArray>
#include <QString>

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

// The position (from 1) of the first occurrence of `text`, regardless of case, that lies wholly
// within the positions from .. from + count - 1 of `source`; 0 when there is none (also for an
// empty text or region).
qsizetype FindInSource(QStringView source, QStringView text, qsizetype from, qsizetype count);

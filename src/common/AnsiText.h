#pragma once

#include <QByteArray>
#include <QString>

// Texts on the wire and in files are single bytes in the Windows-1252 code page; in memory
// they are QString. These are the only places that convert.
namespace AnsiText {
// A character the code page lacks becomes "?", as Windows' own conversion writes it.
QByteArray encode(const QString &text);
// Whether encode() keeps every character of the text.
bool canEncode(const QString &text);
// Every byte maps to one character; the five bytes Windows-1252 leaves undefined map to the
// control characters of the same code, so decode(encode(x)) keeps arbitrary bytes intact.
QString decode(const QByteArray &bytes);
} // namespace AnsiText

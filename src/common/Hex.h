#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace Hex {
// Decodes pairs of hexadecimal digits (either case) from the start; a last single digit is
// ignored. Any pair that is not two hex digits fails the whole decoding.
std::optional<QByteArray> decodePairs(QStringView text);
} // namespace Hex

// The caption wildcard's decoder: hex pairs to characters of the ANSI code page.
std::optional<QString> HexToText(QStringView text);

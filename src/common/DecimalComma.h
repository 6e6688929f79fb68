#pragma once

#include <QString>
#include <optional>

// Values inside the program carry the decimal comma ("1,0", "21,5"). These read them the way
// the state icon and the "$4" wildcard need: as a decimal number, truncated toward zero.
namespace DecimalComma {
// The number, or nothing when the text is no decimal-comma number (empty, "1.5", "1,2,3", "abc").
std::optional<double> parse(QStringView text);
// Truncated toward zero; nothing when no number or outside the 64-bit range.
std::optional<qint64> truncated(QStringView text);
} // namespace DecimalComma

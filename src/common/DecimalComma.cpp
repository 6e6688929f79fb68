#include "DecimalComma.h"

#include <cmath>

namespace {
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
} // namespace

std::optional<double> DecimalComma::parse(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    QString normalized;
    normalized.reserve(text.size());
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        normalized.append(text[i++]);
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        normalized.append(text[i++]);
        ++digits;
    }
    if (i < text.size() && text[i] == u',') {
        normalized.append(u'.');
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            normalized.append(text[i++]);
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        normalized.append(u'e');
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            normalized.append(text[i++]);
        qsizetype exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) {
            normalized.append(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    bool ok = false;
    const double value = normalized.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint64> DecimalComma::truncated(QStringView text) {
    const auto value = parse(text);
    if (!value)
        return std::nullopt;
    const double whole = std::trunc(*value);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (whole >= 9223372036854775808.0 || whole < -9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(whole);
}

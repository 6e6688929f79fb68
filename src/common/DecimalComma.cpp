#include "DecimalComma.h"

#include <QRegularExpression>
#include <cmath>

std::optional<double> DecimalComma::parse(QStringView text) {
    // An optional sign, digits with at most one decimal comma (at least one digit), an optional exponent.
    static const QRegularExpression kNumber(QStringLiteral(R"(^[+-]?([0-9]+,?[0-9]*|,[0-9]+)([eE][+-]?[0-9]+)?$)"));
    const QString trimmed = text.trimmed().toString();
    if (!kNumber.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QString(trimmed).replace(u',', u'.').toDouble(&ok);
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
